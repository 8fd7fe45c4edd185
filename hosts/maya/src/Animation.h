#pragma once
// Keyframed attributes and time: animation curves driving plugs, the current time, and
// playback. Maya 2018 evaluates a time change with the Evaluation Manager (parallel by
// default): once its graph is built dirty propagation is off, so the attributes curves
// drive change without node-dirty or world-matrix messages; the "timeChanged" event (and
// MDGMessage's time change) is what plug-ins hear. The stand-in behaves so for every time
// change.

namespace mayahost::animation {

// Sets the current time (frames): evaluates every curve, raises "timeChanged" and asks for
// a redraw of the views, as Maya does when the time changes.
void setTime(double frame);

// Evaluates every animation curve at the current time into the plug it drives, without
// messages (evaluation-driven, not an edit).
void evaluate();

} // namespace mayahost::animation
