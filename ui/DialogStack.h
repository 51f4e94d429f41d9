#pragma once

// The popup menu. Others touch only whether it is wanted and the camera mode it will give back.
class DialogStack {
public:
    virtual ~DialogStack() = default;

    float TargetVisibility = 0.0f; // 1 while the menu should be shown; the menu fades towards it
    int SavedCameraMode = 0;       // the camera mode to restore when the menu closes
};

extern DialogStack Dialogs;
