// What the engine's 4.18 rules for RenderCore say about the modules it names publicly (the
// stand-in's modules only): a module that depends on RenderCore also sees their public folders.
using UnrealBuildTool;

public class RenderCore : ModuleRules
{
	public RenderCore(ReadOnlyTargetRules Target) : base(Target)
	{
	}
}
