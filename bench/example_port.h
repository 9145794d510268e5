// What the benchmarks start from: the example port's year of hourly heights.
#pragma once

// Loads examples/vlissingen/PORT.TXT (Vlissingen 2009) as the hourly record.
void LoadExamplePort();

// Replaces the waves by the five menu waves, then as many catalogue waves as
// wanted, fitted to the record as the program does.
void FitWaves(int count);
