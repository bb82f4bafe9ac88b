#pragma once
// What a screen reader finds in the main window: the table as one element
// whose name and text tell the scene in words, the level pictures of the
// options panel named with their current level, and names for the controls
// that have no label of their own. Every change is reported to the screen
// reader with the name-changed and text-changed events.

namespace kolbet {

class TMainForm;

// Installs the accessible interfaces of the table, the level pictures and the
// label pictures; before any of them is made, since the first interface Qt
// makes for a widget is kept.
void InstallAccessibleElements();

// Names the list, the drop-down and the edit box.
void NameControls(TMainForm& form);

// Brings the table's words and the level pictures' names up to date, with the
// key selection on `shownSlot` (-1: none).
void UpdateAccessibleTexts(TMainForm& form, int shownSlot);

}  // namespace kolbet
