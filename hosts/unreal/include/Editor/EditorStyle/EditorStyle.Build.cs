// What the engine's 4.18 rules for EditorStyle say about the modules it names publicly (the
// stand-in's modules only): a module that depends on EditorStyle also sees their public folders.
using UnrealBuildTool;

public class EditorStyle : ModuleRules
{
	public EditorStyle(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "Slate" });
	}
}
