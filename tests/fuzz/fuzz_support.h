// What every fuzzing harness shares: a working folder of its own in memory,
// the Paris time zone, the program's start values before each input, and a
// check that stops the run with the reason when a property does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Once, before the first input: the folder, the time zone, and drawing
// that is computed but not recorded.
void StartFuzzing();

// Before each input: every piece of state at its start value, an empty
// headless backend with its bare main window, and questions that no one
// answers taken as "Non" without a word.
void ResetForInput();

// Removes everything in the working folder, for inputs that write files.
void EmptyFolder();

std::string_view BytesOf(const std::uint8_t* data, std::size_t size);
void WriteInputFile(const char* name, std::string_view bytes);

// Paints the multi-day chart of curves (1 predicted, 2 source, 3 both and
// their difference) and its time axis as the main window would.
void PaintChart(int curves);

// Ends the run (libFuzzer then keeps the input) when the property fails.
void Require(bool holds, const char* property);
