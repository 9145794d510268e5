// Models for the tests from the model's layer up: waves, records built
// from them, the real records, and a port's waves.
#pragma once

#include <string>
#include <vector>

#include "model/waves.h"

// A cosine wave of period (h), amplitude (m) and phase (rad).
Wave WaveOf(double periodHours, double ampl, double etab, const std::string& name = "");

// Installs a record of days whose hour i holds, in whole centimetres rounded
// to nearest, meanLevel + Σ ampl·cos(speed·3600·i − etab).
void InstallRecordOf(int days, double meanLevel, const std::vector<Wave>& waves);

// The three real records beside the project. ReadRealRecord installs one as
// the record file gives it, port and year included; its mean level is left
// to the analyses (analysis_state.h: LoadRealRecord).
extern const char* const REAL_RECORDS[3];
void ReadRealRecord(const std::string& file);

// The waves of a port of 2009, Vlissingen: the mean level and the five
// waves the start-up fits there, then, up to count, a wave at the speed of
// each constituent the astronomy knows, over and over, smaller and smaller
// (the same speed again is a wave the program also allows).
void InstallPortWaves(int count);
