#pragma once

#include <functional>

// How the settings window reaches the word processor's open documents after
// the "wpAutocorrect" preference changed. The word processor installs its
// own function when it starts; until then (and with no open document)
// applyToAll() does nothing.
namespace WPAutocorrect {

using Apply = std::function<void()>;

// Installs the function that applies the stored preference to every open
// word-processor window; returns the previous one.
Apply install(Apply apply);

void applyToAll();

} // namespace WPAutocorrect
