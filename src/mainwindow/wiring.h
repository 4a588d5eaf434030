#pragma once

// Connects the controls of the main window to their handlers. Called once by the program and
// by every test rig after the controls are made.
void WireForm1();
