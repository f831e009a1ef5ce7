#pragma once
// The sample game: a complete game folder made by the project's own record writers, with
// generated pictures, sounds and music, so that the player has something to play and the
// tests something whole to load. Every run writes the same bytes: nothing depends on the
// time, the machine or chance.
#include <string>

// Writes the game into hostFolder (made when missing): default\ with the data files the
// player copies into data\, bmp\, wave\, bgm\, the background pictures and System.ini.
// False, after naming on stderr every file that could not be written, on any failure.
bool MakeSampleGame(const std::string& hostFolder);
