#pragma once

#include <array>
#include <string_view>

// Every command the menus send, by name, and who is expected to answer it.
//
// The menus dispatch by name (see ResponderChain): an item reaches the
// first object in the chain with a slot or invokable of that name, so a
// renamed slot would quietly disable its item. The menus use only these
// constants, and the app tests check the table against the handler classes'
// meta-objects.
namespace MenuActions {

// The application menu.
inline constexpr char showAbout[] = "showAbout";
inline constexpr char showSettings[] = "showSettings";
inline constexpr char toggleFloatingMenu[] = "toggleFloatingMenu";
inline constexpr char hideApplication[] = "hideApplication";
inline constexpr char hideOtherApplications[] = "hideOtherApplications";
inline constexpr char unhideAllApplications[] = "unhideAllApplications";
inline constexpr char terminate[] = "terminate";

// File.
inline constexpr char newDocument[] = "newDocument";
inline constexpr char openDocument[] = "openDocument";
inline constexpr char clearRecentDocuments[] = "clearRecentDocuments";
inline constexpr char performClose[] = "performClose";
inline constexpr char saveDocument[] = "saveDocument";
inline constexpr char saveDocumentAs[] = "saveDocumentAs";
inline constexpr char revertDocumentToSaved[] = "revertDocumentToSaved";
inline constexpr char exportPDF[] = "exportPDF";
inline constexpr char exportData[] = "exportData";
inline constexpr char runPageLayout[] = "runPageLayout";
inline constexpr char printDocument[] = "printDocument";

// Edit.
inline constexpr char undo[] = "undo";
inline constexpr char redo[] = "redo";
inline constexpr char cut[] = "cut";
inline constexpr char copy[] = "copy";
inline constexpr char paste[] = "paste";
inline constexpr char pasteAsPlainText[] = "pasteAsPlainText";
inline constexpr char deleteSelection[] = "deleteSelection";
inline constexpr char selectAll[] = "selectAll";
inline constexpr char performTextFinderAction[] = "performTextFinderAction";
inline constexpr char showGuessPanel[] = "showGuessPanel";
inline constexpr char checkSpelling[] = "checkSpelling";
inline constexpr char toggleContinuousSpellChecking[] = "toggleContinuousSpellChecking";
inline constexpr char toggleGrammarChecking[] = "toggleGrammarChecking";
inline constexpr char toggleAutomaticSpellingCorrection[] = "toggleAutomaticSpellingCorrection";

// Format.
inline constexpr char orderFrontFontPanel[] = "orderFrontFontPanel";
inline constexpr char addFontTrait[] = "addFontTrait";
inline constexpr char underline[] = "underline";
inline constexpr char modifyFont[] = "modifyFont";
inline constexpr char orderFrontColorPanel[] = "orderFrontColorPanel";
inline constexpr char alignLeft[] = "alignLeft";
inline constexpr char alignCenter[] = "alignCenter";
inline constexpr char alignJustified[] = "alignJustified";
inline constexpr char alignRight[] = "alignRight";
inline constexpr char toggleBullets[] = "toggleBullets";
inline constexpr char toggleNumbers[] = "toggleNumbers";
inline constexpr char orderFrontListPanel[] = "orderFrontListPanel";
inline constexpr char insertTable[] = "insertTable";
inline constexpr char orderFrontTablePanel[] = "orderFrontTablePanel";
inline constexpr char insertImage[] = "insertImage";
inline constexpr char editHeaderFooter[] = "editHeaderFooter";

// Tools, Window, Help.
inline constexpr char openToolFromMenu[] = "openToolFromMenu";
inline constexpr char performMiniaturize[] = "performMiniaturize";
inline constexpr char performZoom[] = "performZoom";
inline constexpr char arrangeInFront[] = "arrangeInFront";
inline constexpr char showHelp[] = "showHelp";
inline constexpr char visitWebsite[] = "visitWebsite";

// The handler that stands for the commands the chain answers itself: the
// editing commands of any text input and the window commands of any window.
inline constexpr char builtIn[] = "ResponderChain";
// A command no object answers on this desktop, so its item stays disabled
// (a program cannot hide the other programs here).
inline constexpr char nobody[] = "nobody";

struct Entry {
    const char* name;
    // The classes expected to declare it (by class name), or builtIn.
    std::array<const char*, 2> handlers;
    // The handler's property that puts a check mark on the item, if any.
    const char* state = nullptr;
};

inline constexpr Entry table[] = {
    {showAbout, {"AppDelegate"}},
    {showSettings, {"AppDelegate"}},
    {toggleFloatingMenu, {"AppDelegate"}},
    {hideApplication, {"AppDelegate"}},
    {hideOtherApplications, {nobody}},
    {unhideAllApplications, {"AppDelegate"}},
    {terminate, {"AppDelegate"}},

    {newDocument, {"WPDocumentController"}},
    {openDocument, {"WPDocumentController"}},
    {clearRecentDocuments, {"WPDocumentController"}},
    {performClose, {builtIn}},
    {saveDocument, {"WPDocumentController"}},
    {saveDocumentAs, {"WPDocumentController"}},
    {revertDocumentToSaved, {"WPDocumentController"}},
    {exportPDF, {"WPWindowController", "WPDocumentController"}},
    {exportData, {"VEXOBWMenuTarget"}},
    {runPageLayout, {"WPDocumentController"}},
    {printDocument, {"WPDocumentController"}},

    {undo, {builtIn}},
    {redo, {builtIn}},
    {cut, {builtIn}},
    {copy, {builtIn}},
    {paste, {builtIn}},
    {pasteAsPlainText, {builtIn}},
    {deleteSelection, {builtIn}},
    {selectAll, {builtIn}},
    {performTextFinderAction, {"WPWindowController"}},
    {showGuessPanel, {"SpellingTarget"}},
    {checkSpelling, {"SpellingTarget"}},
    {toggleContinuousSpellChecking, {"SpellingTarget"}, "continuousSpellCheckingEnabled"},
    {toggleGrammarChecking, {"SpellingTarget"}, "grammarCheckingEnabled"},
    {toggleAutomaticSpellingCorrection, {"SpellingTarget"}, "automaticSpellingCorrectionEnabled"},

    {orderFrontFontPanel, {"WPWindowController"}},
    {addFontTrait, {"WPWindowController"}},
    {underline, {"WPWindowController"}},
    {modifyFont, {"WPWindowController"}},
    {orderFrontColorPanel, {"WPWindowController"}},
    {alignLeft, {"WPWindowController"}},
    {alignCenter, {"WPWindowController"}},
    {alignJustified, {"WPWindowController"}},
    {alignRight, {"WPWindowController"}},
    {toggleBullets, {"WPWindowController"}},
    {toggleNumbers, {"WPWindowController"}},
    {orderFrontListPanel, {"WPWindowController"}},
    {insertTable, {"WPWindowController"}},
    {orderFrontTablePanel, {"WPWindowController"}},
    {insertImage, {"WPWindowController"}},
    {editHeaderFooter, {"WPWindowController"}},

    {openToolFromMenu, {"AppDelegate"}},
    {performMiniaturize, {builtIn}},
    {performZoom, {builtIn}},
    {arrangeInFront, {"AppDelegate"}},
    {showHelp, {"AppDelegate"}},
    {visitWebsite, {"AppDelegate"}},
};

// The row of `name`, or null.
inline const Entry* find(const char* name)
{
    for (const Entry& e : table) {
        if (std::string_view(e.name) == name)
            return &e;
    }
    return nullptr;
}

} // namespace MenuActions
