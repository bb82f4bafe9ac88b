#include "platform/spoken_notes.h"

#include <QAccessible>
#include <QWidget>
#include <algorithm>

namespace kolbet {

namespace {

// Enough for the notes of a hand's end, however late a screen reader asks.
constexpr std::size_t KeptNotes = 16;

// An element of no widget: no children, nothing to set, no place of its own.
class TBareAccessible : public QAccessibleInterface {
 public:
  bool isValid() const override { return true; }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}
  QAccessible::State state() const override { return {}; }
};

class TBar final : public TBareAccessible {
 public:
  TBar(QWidget* owner, const std::deque<QAccessibleInterface*>& notes) : Owner(owner), Notes(notes) {}
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Owner); }
  QAccessibleInterface* child(int index) const override {
    return index >= 0 && index < childCount() ? Notes[static_cast<std::size_t>(index)] : nullptr;
  }
  int childCount() const override { return static_cast<int>(Notes.size()); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto at = std::find(Notes.begin(), Notes.end(), child);
    return at == Notes.end() ? -1 : static_cast<int>(at - Notes.begin());
  }
  QString text(QAccessible::Text) const override { return {}; }
  QRect rect() const override { return {Owner->mapToGlobal(QPoint(0, 0)), Owner->size()}; }
  QAccessible::Role role() const override { return QAccessible::StatusBar; }

 private:
  QWidget* Owner;
  const std::deque<QAccessibleInterface*>& Notes;
};

class TNote final : public TBareAccessible {
 public:
  TNote(QAccessibleInterface* bar, QString words) : Bar(bar), Words(std::move(words)) {}
  QAccessibleInterface* parent() const override { return Bar; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? Words : QString(); }
  QRect rect() const override { return Bar->rect(); }
  QAccessible::Role role() const override { return QAccessible::Notification; }

 private:
  QAccessibleInterface* Bar;
  QString Words;
};

void Forget(QAccessibleInterface* element) { QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(element)); }

}  // namespace

TSpokenNotes::TSpokenNotes(QWidget* owner) : BarInterface(new TBar(owner, Notes)) {
  QAccessible::registerAccessibleInterface(BarInterface);
}

TSpokenNotes::~TSpokenNotes() {
  for (QAccessibleInterface* note : Notes) Forget(note);
  Forget(BarInterface);
}

void TSpokenNotes::Tell(const QString& words) {
  if (words.isEmpty()) return;
  auto* note = new TNote(BarInterface, words);
  QAccessible::registerAccessibleInterface(note);
  Notes.push_back(note);
  ++Total;
  while (Notes.size() > KeptNotes) {
    Forget(Notes.front());
    Notes.pop_front();
  }
  if (!QAccessible::isActive()) return;
  QAccessibleEvent shown(note, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
}

QAccessibleInterface* TSpokenNotes::Bar() const { return BarInterface; }

QStringList TSpokenNotes::Kept() const {
  QStringList words;
  for (const QAccessibleInterface* note : Notes) words << note->text(QAccessible::Name);
  return words;
}

}  // namespace kolbet
