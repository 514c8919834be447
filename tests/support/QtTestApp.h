#pragma once
// The Qt test programs run without a display. Before the QApplication is made,
// UseOffscreenPlatform() chooses the offscreen platform (unless the environment
// chose another) and keeps the platform's reports of the window features it
// lacks out of the test output. QtTestMain.cpp is the main that does so, for
// every test program without a main of its own.

namespace qttest {

void UseOffscreenPlatform();

}  // namespace qttest
