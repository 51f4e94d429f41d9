#pragma once

#include <cstdint>

// Every adjustable parameter of the program. The record is stored word for word in the preferences file:
// 46 little-endian 4-byte words, the tag and then the fields below in this order (ints, then floats).
// The member initialisers are the defaults; InitVars puts them back on every reset.
class SettingsStore {
public:
    static constexpr int WordCount = 46;
    static constexpr int FileBytes = WordCount * 4;
    static constexpr uint32_t FileTag = 0x004245FC; // word 0 of every saved file

    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = default;
    SettingsStore& operator=(const SettingsStore&) = default;
    virtual ~SettingsStore() = default;

    // Writes "<baseName>.pref": 0 on success, 1 when the file cannot be written. The old file is replaced
    // only once the new one is complete on disk.
    int Save(const char* baseName) const;

    // Reads "<baseName>.pref" over the record: 0 on success, 1 when it cannot be opened or read, or does not
    // begin with FileTag (then the record is unchanged). A short file replaces only the leading bytes it
    // holds; a float word that is not a finite number keeps the value the record held.
    int Load(const char* baseName);

    // Every field back to its default except CameraMode, SavedN and SavedN2, which depend on the caller.
    void RestoreDefaults();

    // The file image of the record, and the record from a file image (non-finite floats skipped).
    void Encode(unsigned char (&bytes)[FileBytes]) const;
    void Decode(const unsigned char (&bytes)[FileBytes]);

    uint32_t Tag = FileTag;
    int Fov = 110; // degrees; the keys hold it within 1..179
    int FullScreen = 1;
    int Letterbox = 0; // step 0..6, 5 % of the height off top and bottom per step
    int Tesselation = 40;
    int Universe = 1;
    int ScreenClear = 1; // 0 leaves trails faded by FadeEffect
    int SpotLights = 1;
    int Textures = 1;
    int PolygonMode = 0; // 0 filled, 1 lines, 2 points
    int CameraMode = 1;  // 0 automatic, 1 manual, 2 hold
    int OptionIndex = 0;
    int ImageOptionIndex = 0;
    int FpsClock = 0;
    int ReservedInt = 0;
    int DepthCueFog = 0;
    int SavedN = 2;
    int SavedN2 = 3;
    float RotateSpeed = 1.0f;
    float MoveSpeed = 1.0f;
    float CameraZ = 0.1f;
    float ObjectSize = 0.7f;
    float ReservedA = 1.0f;
    float ReservedB = 1.0f;
    float MainSpeed = 1.0f;
    float ArcThickness = 1.0f;
    float MotionDamping = 1.0f;
    float TextureMagnification = 1.0f;
    float FogStart = 1.0f;
    float FogEnd = 1.0f; // SceneScale
    float BumpResponse = 1.0f;
    float FadeEffect = 0.3f; // 0..1
    float LightRotateSpeed = 1.0f;
    float MouseSensitivity = 1.0f;
    float MoveSensitivity = 1.0f;
    float Param20 = 1.0f;
    float Param21 = 1.0f;
    float Param22 = 1.0f;
    float ReservedC = 1.0f;
    float Ambient = 0.25f;
    float Diffuse = 0.5f;
    float Specular = 0.99f;
    float Reflective = 0.99f;
    float Shininess = 10.0f;
    float Cutoff = 180.0f; // degrees; 180 is no cone
    float Exponent = 1.0f;
};

// A control's multiplicative step, in double precision and rounded once when stored. A key held for minutes
// would carry a value past the largest float; the step that would do so leaves the value as it is.
float ScaledSetting(float value, double factor);

extern SettingsStore Settings;
