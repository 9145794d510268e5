// What the benchmarks start from: the example port's year of hourly heights.
#pragma once

// Loads examples/vlissingen/PORT.TXT (Vlissingen 2009) as the hourly record,
// or that year repeated to make a record of several years.
void LoadExamplePort(int years = 1);

// Replaces the waves by the five menu waves, then the catalogue's waves in
// order, then the catalogue's again, up to count waves, fitted to the record
// as the program does.
void FitWaves(int count);

// The fast paths (fast = true, as the program runs) or the straightforward
// definitions they stand for, and the number of threads (0: one per core).
void UseComputation(bool fast, unsigned threads = 0);
