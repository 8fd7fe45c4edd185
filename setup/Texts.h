#pragma once
// The installer's fixed texts: registry paths and values, probes, package commands and
// the messages. The source is UTF-8; u"" literals make them UTF-16 as MessageBoxW wants.

namespace kvt::setup::text {

// Maya.
inline constexpr char16_t kAutodeskKey[] = u"SOFTWARE\\Autodesk";
inline constexpr char16_t kMayaProductFilter[] = u"Maya";
inline constexpr char16_t kMayaInstallPathSuffix[] = u"\\Setup\\InstallPath";
inline constexpr char16_t kMayaInstallLocationValue[] = u"MAYA_INSTALL_LOCATION";
inline constexpr char16_t kMayaExecutableProbe[] = u"bin\\maya.exe";
inline constexpr char kWantedMayaVersion[] = "2018";

// Unreal.
inline constexpr char16_t kUnrealKey[] = u"SOFTWARE\\EpicGames\\Unreal Engine";
inline constexpr char16_t kUnrealDirectoryValue[] = u"InstalledDirectory";
inline constexpr char16_t kEditorProbeWin64[] = u"\\Engine\\Binaries\\Win64\\UE4Editor.exe";
inline constexpr char16_t kEditorProbeWin32[] = u"\\Engine\\Binaries\\Win32\\UE4Editor.exe";
inline constexpr char16_t kPluginsSuffix[] = u"\\Engine\\Plugins";
inline constexpr char16_t kSourceBuildsKey[] = u"Software\\Epic Games\\Unreal Engine\\Builds";
inline constexpr char16_t kSourceBuildMarker[] = u"UnrealEngine-NQ";
inline constexpr char kWantedUnrealVersion[] = "4.18";

// Package commands, relative to the folder the program is started in.
inline constexpr char16_t kMayaPackage[] = u"Maya\\MayaSidePackage.msi";
inline constexpr char16_t kMayaPackagePrefix[] = u"Maya\\MayaSidePackage.msi TARGETDIR=\"";
inline constexpr char16_t kUnrealPackage[] = u"Ue\\UeSidePackage.msi";
inline constexpr char16_t kUnrealPackagePrefix[] = u"Ue\\UeSidePackage.msi TARGETDIR=\"";
inline constexpr char16_t kCommandSuffix[] = u"\"";

// Messages: titles and texts.
inline constexpr char16_t kErrorTitle[] = u"错误提示";
inline constexpr char16_t kNoticeTitle[] = u"提示";
inline constexpr char16_t kNoAutodeskText[] = u"找不到您系统的Maya目录，请自行安装选择安装目录！";
inline constexpr char16_t kAccessDeniedText[] = u"请使用管理员的权限打开该安装包!";
// Worded after its Unreal counterpart below.
inline constexpr char16_t kNoMaya2018Text[] = u"没有在您系统上找到2018的Maya版本";
inline constexpr char16_t kNoUnreal418Text[] = u"没有在您系统上找到4.18的UE版本";

} // namespace kvt::setup::text
