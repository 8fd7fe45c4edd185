// What the engine's 4.18 rules for UnrealEd say about the modules it names publicly (the
// stand-in's modules only): a module that depends on UnrealEd also sees their public folders.
using UnrealBuildTool;

public class UnrealEd : ModuleRules
{
	public UnrealEd(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "Engine", "Slate", "SlateCore", "EditorStyle" });
		PublicIncludePathModuleNames.AddRange(new string[] { "AssetTools" });
	}
}
