// What the engine's 4.18 rules for ShaderCore say about the modules it names publicly (the
// stand-in's modules only): a module that depends on ShaderCore also sees their public folders.
using UnrealBuildTool;

public class ShaderCore : ModuleRules
{
	public ShaderCore(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "RHI", "RenderCore" });
	}
}
