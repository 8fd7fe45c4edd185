// The editor module's build rules, as the engine's build tool reads them.
using System.IO;
using UnrealBuildTool;

public class QuorbellMirror : ModuleRules
{
	public QuorbellMirror(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;
		bEnableExceptions = false;

		// The build tool compiles only what lies inside this folder: the installable plug-in
		// (./mirror package) carries its own copy of the link, shared with the Maya plug-in,
		// in Private/link/, where the sources include it as "link/Link.h".
		PrivateIncludePaths.Add(Path.Combine(ModuleDirectory, "Private"));

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

		// The link raises the system timer period while it is connected (timeBeginPeriod).
		if (Target.Platform == UnrealTargetPlatform.Win64)
		{
			PublicAdditionalLibraries.Add("winmm.lib");
		}
	}
}
