#pragma once
// The keys of the main window beyond Escape and Alt+Enter: Tab and Shift+Tab
// move a focus mark through the controls of the panels shown (and, at the
// table, the table itself), Return, Enter and Space press the marked button,
// Left and Right change a marked level picture, F1 opens the rules page, and
// at the table the arrows, the digits and Return play by key selection. The
// mark and the selection show only once a key was used and go when the
// pointer is used, so a pointer player sees the window as before.

#include <QObject>
#include <QPointer>
#include <QPoint>
#include <optional>
#include <vector>

#include "game/key_input.h"

class QEvent;
class QKeyEvent;
class QWidget;

namespace kolbet {

class TMainForm;

class TFormKeys final : public QObject {
 public:
  explicit TFormKeys(TMainForm& form);
  ~TFormKeys() override;

  // A key press inside the window that the window's own keys left alone;
  // true when it was taken here, false when it goes on to the focused control.
  bool KeyDown(const QKeyEvent& key);
  // Whether this key press would be a move at the table (the arrows, the
  // digits, Return, Enter or Space with no control marked), the kind of
  // press that a wait holding the table must drop like a pointer press.
  bool IsTableKeyPress(const QEvent* event) const;
  // A pointer press or move inside the window: the mark and the selection go.
  void PointerUsed(const QEvent* event);
  // After every handler: a mark on a control that went out of sight moves on,
  // and the accessible texts follow the table.
  void AfterHandler();

  // The slot the selection shows on, -1 for none.
  int ShownSlot() const;
  // The control the focus mark is on; the table's surface when the mark is
  // on the table; null when no mark shows.
  QWidget* MarkedControl() const;

  TKeySelection Selection;

 protected:
  // Paints the focus mark over the marked control once it has painted itself.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls Tab passes, in order: the table first while it takes keys,
  // then the visible, enabled controls of each visible panel.
  std::vector<QWidget*> Chain() const;
  void Mark(QWidget* control);
  void MoveMark(int step);
  std::optional<TTableKey> TableKeyOf(const QKeyEvent& key) const;
  bool KeyOnControl(QWidget* control, const QKeyEvent& key);
  QWidget* PaintTarget(QWidget* control) const;

  TMainForm& Form;
  QPointer<QWidget> Marked;
  QPointer<QWidget> Painted;
  std::optional<QPoint> LastPointer;
  bool TableBefore = false;  // the table took keys after the last handler
};

}  // namespace kolbet
