#pragma once
// Notes a screen reader speaks as they come, whatever has the focus: each note
// is a notification of its own inside a status bar, which is the last child of
// a widget's accessible element. Orca speaks a notification in a status bar by
// its name alone as soon as it is shown. A screen reader asks for the name
// when it gets to the event, which may be late while the game holds a pause:
// so a note keeps its words for good, and the latest few are kept, so that
// every note is heard with its own words and in its order. Nothing is drawn.

#include <QString>
#include <QStringList>
#include <deque>

class QAccessibleInterface;
class QWidget;

namespace kolbet {

class TSpokenNotes {
 public:
  explicit TSpokenNotes(QWidget* owner);
  ~TSpokenNotes();
  TSpokenNotes(const TSpokenNotes&) = delete;
  TSpokenNotes& operator=(const TSpokenNotes&) = delete;

  // Shows a new note with `words` to the screen reader; empty words are not told.
  void Tell(const QString& words);
  // The status bar, for the owner's accessible element to give as its last child.
  QAccessibleInterface* Bar() const;
  // The words of the notes kept, oldest first, and how many were told in all.
  QStringList Kept() const;
  std::size_t Told() const { return Total; }

 private:
  QAccessibleInterface* BarInterface;        // registered with Qt, deleted here
  std::deque<QAccessibleInterface*> Notes;  // likewise
  std::size_t Total = 0;
};

}  // namespace kolbet
