// What the engine's 4.18 rules for SlateCore say about the modules it names publicly (the
// stand-in's modules only): a module that depends on SlateCore also sees their public folders.
using UnrealBuildTool;

public class SlateCore : ModuleRules
{
	public SlateCore(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject" });
	}
}
