// The editor module's build rules, as the engine's build tool reads them.
using UnrealBuildTool;

public class QuorbellMirror : ModuleRules
{
	public QuorbellMirror(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;
		bEnableExceptions = false;

		// The link is shared with the Maya plug-in and compiled into the module.
		PrivateIncludePaths.AddRange(new string[] { "QuorbellMirror/Private", "../../.." });

		PrivateDependencyModuleNames.AddRange(new string[] {
			"Core",
			"CoreUObject",
			"Engine",
			"UnrealEd",
			"RenderCore",
			"ShaderCore",
			"Renderer",
			"RHI",
			"Slate",
			"SlateCore",
			"EditorStyle",
			"AssetTools",
		});
	}
}
