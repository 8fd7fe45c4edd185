// What the engine's 4.18 rules for Renderer say about the modules it names publicly (the
// stand-in's modules only): a module that depends on Renderer also sees their public folders.
using UnrealBuildTool;

public class Renderer : ModuleRules
{
	public Renderer(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "Engine" });
	}
}
