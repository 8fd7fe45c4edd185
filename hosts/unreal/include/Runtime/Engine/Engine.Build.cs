// What the engine's 4.18 rules for Engine say about the modules it names publicly (the
// stand-in's modules only): a module that depends on Engine also sees their public folders.
using UnrealBuildTool;

public class Engine : ModuleRules
{
	public Engine(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "SlateCore", "Slate", "RenderCore", "RHI", "ShaderCore", "AssetRegistry", "UnrealEd" });
		PublicIncludePathModuleNames.AddRange(new string[] { "Renderer" });
	}
}
