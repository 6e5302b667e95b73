#pragma once

class WPWindowController;

// Sample content for an editor window (the snapshot mode and the editor's
// own tests): a title, a heading, body text, a bulleted list, a table, a
// picture and enough text to reach the second page.
namespace WPSampleText {

void fill(WPWindowController* window);

} // namespace WPSampleText
