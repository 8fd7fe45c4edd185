// What the engine's 4.18 rules for AssetRegistry say about the modules it names publicly (the
// stand-in's modules only): a module that depends on AssetRegistry also sees their public folders.
using UnrealBuildTool;

public class AssetRegistry : ModuleRules
{
	public AssetRegistry(ReadOnlyTargetRules Target) : base(Target)
	{
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject" });
	}
}
