// What the engine's 4.18 rules for CoreUObject say about the modules it names publicly (the
// stand-in's modules only): a module that depends on CoreUObject also sees their public folders.
using UnrealBuildTool;

public class CoreUObject : ModuleRules
{
	public CoreUObject(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core" });
	}
}
