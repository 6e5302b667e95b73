#pragma once

// The six text-checking switches of one text input. The program's rule for a
// text input: spelling and grammar checked as you type, nothing changed
// automatically (see ruleApplied()).

struct TextCheckingSwitches {
    bool continuousSpellChecking = true;
    bool grammarChecking = true;
    bool automaticSpellingCorrection = false;
    bool automaticTextReplacement = false;
    bool automaticDashSubstitution = false;
    bool automaticQuoteSubstitution = false;

    friend bool operator==(const TextCheckingSwitches&, const TextCheckingSwitches&) = default;

    // The switches a text input gets each time editing begins: unchanged when
    // spelling and grammar are both on already (so the user's own choice from
    // the Edit menu survives), else the rule's six settings.
    // A copy with one switch flipped (the Edit menu's toggles).
    TextCheckingSwitches toggled(bool TextCheckingSwitches::*which) const
    {
        TextCheckingSwitches s = *this;
        s.*which = !(s.*which);
        return s;
    }

    TextCheckingSwitches ruleApplied() const
    {
        if (continuousSpellChecking && grammarChecking)
            return *this;
        return TextCheckingSwitches{};
    }
};
