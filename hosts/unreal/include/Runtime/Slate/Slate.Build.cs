// What the engine's 4.18 rules for Slate say about the modules it names publicly (the
// stand-in's modules only): a module that depends on Slate also sees their public folders.
using UnrealBuildTool;

public class Slate : ModuleRules
{
	public Slate(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "SlateCore" });
	}
}
