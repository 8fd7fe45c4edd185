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
		// The capture's depth is read from the renderer's scene targets, a private header
		// (PostProcess/SceneRenderTargets.h) whose class the renderer exports.
		PrivateIncludePaths.Add(Path.Combine(EngineDirectory, "Source/Runtime/Renderer/Private"));

		// Inside the engine the link's Windows seam includes the Windows headers the engine's
		// way (Windows/AllowWindowsPlatformTypes.h), not raw as in the Maya plug-in.
		Definitions.Add("QUORBELL_ENGINE_MODULE=1");

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
