#pragma once

class Texture;

enum ProceduralKind {
    SpotKind = 0, // soft round spot, brightest in the middle, alpha equal to brightness
    BandKind = 12 // vertical white band with sparkle, for the arcs
};

// Fills a square RGBA image of the given kind and side (128 or 256), creates the GL texture and returns its
// name.
unsigned int GenerateTexture(Texture& texture, int kind, int side);

// Turns the glow's twenty rays a step, redraws the glow image and replaces the contents of the given
// 256 x 256 RGBA texture with it.
void UpdateGlowRays(unsigned int textureName);
