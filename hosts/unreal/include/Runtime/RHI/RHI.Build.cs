// What the engine's 4.18 rules for RHI say about the modules it names publicly (the
// stand-in's modules only): a module that depends on RHI also sees their public folders.
using UnrealBuildTool;

public class RHI : ModuleRules
{
	public RHI(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core" });
	}
}
