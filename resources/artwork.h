#pragma once
// The program's pictures (":/img/icons/..."), compiled in from the SVG sources
// listed in resources/manifest.txt.

// Registers the pictures with the resource system. Safe to call more than once.
void InitArtwork();
