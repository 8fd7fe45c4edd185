// What the engine's 4.18 rules for AssetTools say about the modules it names publicly (the
// stand-in's modules only): a module that depends on AssetTools also sees their public folders.
using UnrealBuildTool;

public class AssetTools : ModuleRules
{
	public AssetTools(ReadOnlyTargetRules Target) : base(Target)
	{
	}
}
