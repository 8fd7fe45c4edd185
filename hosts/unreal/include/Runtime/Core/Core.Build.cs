// What the engine's 4.18 rules for Core say about the modules it names publicly (the
// stand-in's modules only): a module that depends on Core also sees their public folders.
using UnrealBuildTool;

public class Core : ModuleRules
{
	public Core(ReadOnlyTargetRules Target) : base(Target)
	{
	}
}
