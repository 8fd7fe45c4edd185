# An engine module's compile environment, read from its <Module>.Build.cs as the engine's
# build tool (4.18) reads it: the include folders of the engine modules it names and of the
# modules those name publicly, the include paths it declares, and its definitions. Nothing
# else is on the path, so a header of an undeclared module or a private engine header that
# Build.cs does not reach fails to compile here as it would in the engine.
#
# The engine's Source folder is the stand-in's hosts/unreal/include: every engine module
# there is <Runtime|Editor|Developer>/<Name>/ with its own <Name>.Build.cs (what its 4.18
# rules say about public dependencies), and Public/, Classes/ and Private/ folders.
#
# Read statements (C# comments are skipped; anything else in Build.cs is ignored):
#   Public|PrivateDependencyModuleNames.Add("X") / .AddRange(new string[] { "X", ... })
#   Public|PrivateIncludePathModuleNames.Add(...) / .AddRange(...)
#   Public|PrivateIncludePaths.Add(Path.Combine(ModuleDirectory|EngineDirectory, "rel"))
#   Public|PrivateIncludePaths.Add("rel")          (relative to the engine's Source folder)
#   Definitions.Add("NAME=VALUE")
#
# Use from CMake:
#   include(UnrealModuleRules)
#   unreal_module_rules(BUILD_CS <file> ENGINE_SOURCE <dir> INCLUDES <var> DEFINITIONS <var>)
# or as a script, printing one "-I<dir>" or "-D<def>" a line:
#   cmake -DBUILD_CS=<file> -DENGINE_SOURCE=<dir> -P UnrealModuleRules.cmake

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# The statements of one kind, as a list of their string arguments.
function(_umr_strings text kind out)
  set(values)
  string(REGEX MATCHALL "${kind}[ \t\r\n]*\\.[ \t\r\n]*Add(Range)?[ \t\r\n]*\\(([^;]*)\\)" statements "${text}")
  foreach(statement IN LISTS statements)
    string(REGEX MATCHALL "\"[^\"]*\"" quoted "${statement}")
    foreach(q IN LISTS quoted)
      string(REGEX REPLACE "^\"(.*)\"$" "\\1" q "${q}")
      list(APPEND values "${q}")
    endforeach()
  endforeach()
  set(${out} "${values}" PARENT_SCOPE)
endfunction()

function(_umr_read build_cs out_text)
  if(NOT EXISTS "${build_cs}")
    message(FATAL_ERROR "no module rules file ${build_cs}")
  endif()
  file(READ "${build_cs}" text)
  string(REGEX REPLACE "//[^\n]*" "" text "${text}")
  string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" text "${text}")
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# Include paths a Build.cs declares, as folders (PUBLIC or PRIVATE ones).
function(_umr_paths text which module_dir engine_source build_cs out)
  set(dirs)
  string(REGEX MATCHALL "${which}IncludePaths[ \t\r\n]*\\.[ \t\r\n]*Add(Range)?[ \t\r\n]*\\(([^;]*)\\)" statements "${text}")
  foreach(statement IN LISTS statements)
    if(statement MATCHES "^${which}IncludePaths[ \t\r\n]*\\.[ \t\r\n]*Add[ \t\r\n]*\\([ \t\r\n]*Path\\.Combine[ \t\r\n]*\\([ \t\r\n]*(ModuleDirectory|EngineDirectory)[ \t\r\n]*,[ \t\r\n]*\"([^\"]*)\"[ \t\r\n]*\\)[ \t\r\n]*\\)$")
      set(rel "${CMAKE_MATCH_2}")
      if(CMAKE_MATCH_1 STREQUAL "ModuleDirectory")
        set(dir "${module_dir}/${rel}")
        if("/${rel}/" MATCHES "/\\.\\./")
          message(FATAL_ERROR "${build_cs}: an include path leaves the module folder: ${rel}")
        endif()
      else()
        # EngineDirectory is Engine/, whose Source folder the stand-in's headers play.
        if(NOT rel MATCHES "^Source/(.*)$")
          message(FATAL_ERROR "${build_cs}: an engine include path outside Engine/Source: ${rel}")
        endif()
        set(dir "${engine_source}/${CMAKE_MATCH_1}")
      endif()
    elseif(statement MATCHES "^${which}IncludePaths[ \t\r\n]*\\.[ \t\r\n]*Add[ \t\r\n]*\\([ \t\r\n]*\"([^\"]*)\"[ \t\r\n]*\\)$")
      set(dir "${engine_source}/${CMAKE_MATCH_1}")
    else()
      message(FATAL_ERROR "${build_cs}: an include path in a form the build here does not follow: ${statement}")
    endif()
    if(NOT IS_DIRECTORY "${dir}")
      message(FATAL_ERROR "${build_cs}: include path ${dir} is not a folder")
    endif()
    list(APPEND dirs "${dir}")
  endforeach()
  set(${out} "${dirs}" PARENT_SCOPE)
endfunction()

# The engine module's folder, found by its rules file as the build tool finds modules.
function(_umr_find_module name engine_source referrer out)
  file(GLOB found "${engine_source}/*/${name}/${name}.Build.cs")
  list(LENGTH found n)
  if(NOT n EQUAL 1)
    message(FATAL_ERROR "Couldn't find module rules file for module '${name}' (named by ${referrer})")
  endif()
  get_filename_component(dir "${found}" DIRECTORY)
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

function(unreal_module_rules)
  cmake_parse_arguments(arg "" "BUILD_CS;ENGINE_SOURCE;INCLUDES;DEFINITIONS" "" ${ARGN})
  get_filename_component(build_cs "${arg_BUILD_CS}" ABSOLUTE)
  get_filename_component(engine_source "${arg_ENGINE_SOURCE}" ABSOLUTE)
  get_filename_component(module_dir "${build_cs}" DIRECTORY)
  _umr_read("${build_cs}" text)

  _umr_paths("${text}" Private "${module_dir}" "${engine_source}" "${build_cs}" private_paths)
  _umr_paths("${text}" Public "${module_dir}" "${engine_source}" "${build_cs}" public_paths)
  set(includes ${private_paths} ${public_paths})

  # The modules whose public include folders this module sees: the ones it names, then
  # through each of them the ones that module names publicly, and so on.
  set(pending)
  foreach(kind PublicDependencyModuleNames PrivateDependencyModuleNames
               PublicIncludePathModuleNames PrivateIncludePathModuleNames)
    _umr_strings("${text}" ${kind} names)
    list(APPEND pending ${names})
  endforeach()
  set(seen)
  while(pending)
    list(POP_FRONT pending name)
    if(name IN_LIST seen)
      continue()
    endif()
    list(APPEND seen "${name}")
    _umr_find_module("${name}" "${engine_source}" "${build_cs}" dir)
    foreach(sub Public Classes)
      if(IS_DIRECTORY "${dir}/${sub}")
        list(APPEND includes "${dir}/${sub}")
      endif()
    endforeach()
    _umr_read("${dir}/${name}.Build.cs" dep_text)
    _umr_paths("${dep_text}" Public "${dir}" "${engine_source}" "${dir}/${name}.Build.cs" dep_paths)
    list(APPEND includes ${dep_paths})
    foreach(kind PublicDependencyModuleNames PublicIncludePathModuleNames)
      _umr_strings("${dep_text}" ${kind} names)
      list(APPEND pending ${names})
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES includes)

  _umr_strings("${text}" Definitions definitions)
  set(${arg_INCLUDES} "${includes}" PARENT_SCOPE)
  if(arg_DEFINITIONS)
    set(${arg_DEFINITIONS} "${definitions}" PARENT_SCOPE)
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  unreal_module_rules(BUILD_CS "${BUILD_CS}" ENGINE_SOURCE "${ENGINE_SOURCE}"
                      INCLUDES includes DEFINITIONS definitions)
  foreach(dir IN LISTS includes)
    message("-I${dir}")
  endforeach()
  foreach(def IN LISTS definitions)
    message("-D${def}")
  endforeach()
endif()
