#pragma once
#include <maya/MCommandResult.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MGlobal {
public:
    enum ListAdjustment { kReplaceList, kXORWithList, kAddToList, kRemoveFromList, kAddToHeadOfList };
    enum MMayaState { kInteractive, kBatch, kLibraryApp, kBaseUIMode };
    static MStatus executeCommand(const MString& command, bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MCommandResult& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MString& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MStringArray& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, int& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    // Queues a command for the next time Maya is idle; it runs after the current command (or
    // frame) is through, in the order queued.
    static MStatus executeCommandOnIdle(const MString& command, bool displayEnabled = false);
    static MStatus getActiveSelectionList(MSelectionList& dest, bool orderedSelectionIfAvailable = false);
    static MStatus setActiveSelectionList(const MSelectionList& src, ListAdjustment mode = kReplaceList);
    static MMayaState mayaState(MStatus* status = NULL);
    static void displayInfo(const MString& text);
    static void displayWarning(const MString& text);
    static void displayError(const MString& text);
};

OPENMAYA_NAMESPACE_CLOSE
