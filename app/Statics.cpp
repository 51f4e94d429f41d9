// The long-lived objects of the program, defined here in their order of construction. They are destroyed
// in the reverse order when the program exits.

#include "app/FrameClock.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "render/Light.h"
#include "render/Texture.h"
#include "scene/Logo.h"
#include "scene/OscillatorBank.h"
#include "scene/PlasmaGlobe.h"
#include "scene/Universe.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

Platform* Host = nullptr;

SceneObject3D LightFlare;
OverlayText StatusLine;
OverlayText TitleText;
OverlayText ScreenText;
OverlayText DialogText;
OverlayText ErrorText;
FpsText FpsDisplay;
SettingsStore Settings;
Camera MainCamera;
FrameClock Clock;
MouseState Mouse;
KeyboardState Keys;
OscillatorBank CameraPositionBank;
OscillatorBank CameraAngleBank;
OscillatorBank ArcWaveBank;
OscillatorBank TextWaveBank;
OscillatorBank LightBank;
Light MainLight;
SoundPlayer Sound;
ScreenView View;
LogoScene Logo;
Texture FontTexture;
Texture MetalTexture;
Texture FloorTexture;
Texture LightmapTexture;
Texture ExitTexture;
Texture GlowTexture;
Texture ControlsTexture;
Texture ArcTexture;
PlasmaGlobe Globe1;
PlasmaGlobe Globe2;
PlasmaGlobe Globe3;
DialogStack Dialogs;
StarUniverse Universe;
