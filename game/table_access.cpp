#include "game/table_access.h"

#include <QAccessible>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <array>

#include "assets/option_levels.h"
#include "game/dxdraw.h"
#include "game/main_form.h"
#include "game/table_text.h"
#include "platform/picture_controls.h"

namespace kolbet {

namespace {

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The table: its name is the scene told in one line; the same words line by
// line are its text, which a screen reader can read through.
class TTableAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TTableAccessible(TDXDraw* table) : QAccessibleWidget(table, QAccessible::Canvas) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return Words().split('\n').join(". ");
    if (t == QAccessible::Description)
      return Utf8("Pfeil links und rechts oder 1 bis 5: a Koartn wöhln. Return oder a Klick auf d'Koartn: spuelln");
    return QAccessibleWidget::text(t);
  }
  // The controls on the table, then the status bar of the spoken notes.
  int childCount() const override { return QAccessibleWidget::childCount() + 1; }
  QAccessibleInterface* child(int index) const override {
    return index == QAccessibleWidget::childCount() ? Table()->Notes().Bar() : QAccessibleWidget::child(index);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child == Table()->Notes().Bar() ? QAccessibleWidget::childCount() : QAccessibleWidget::indexOfChild(child);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // Read-only text with no caret and no selection.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override { return Words().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(Words().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = offset;
    *end = offset;
    return {};
  }

 private:
  TDXDraw* Table() const { return static_cast<TDXDraw*>(widget()); }
  const QString& Words() const { return Table()->AccessibleText; }
};

// A level picture: pressed, raised or lowered as with the pointer's buttons.
class TLevelAccessible final : public QAccessibleWidget {
 public:
  explicit TLevelAccessible(TPictureBox* level) : QAccessibleWidget(level, QAccessible::Button) {}
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    return s;
  }
  QStringList actionNames() const override { return {pressAction(), increaseAction(), decreaseAction()}; }
  void doAction(const QString& action) override {
    auto* level = static_cast<TPictureBox*>(widget());
    if (action == pressAction() || action == increaseAction())
      level->PressWith(Qt::LeftButton);
    else if (action == decreaseAction())
      level->PressWith(Qt::RightButton);
  }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* table = dynamic_cast<TDXDraw*>(object)) return new TTableAccessible(table);
  if (auto* level = dynamic_cast<TPictureBox*>(object)) return new TLevelAccessible(level);
  if (auto* label = dynamic_cast<TLetteredPicture*>(object)) return new QAccessibleWidget(label, QAccessible::StaticText);
  return nullptr;
}

void Rename(QWidget* w, const QString& name) {
  if (w->accessibleName() != name) w->setAccessibleName(name);  // reports the change itself
}

}  // namespace

void InstallAccessibleElements() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

void NameControls(TMainForm& form) {
  // On Linux a drop-down is named by its chosen entry; its list and its
  // description tell what it chooses.
  form.Dmusi->setAccessibleDescription("Musi");
  form.Dmusi->view()->setAccessibleName("Musi");
  form.SessionListBox->setAccessibleName("Stommdisch");
  form.Nomer->setAccessibleName("dei Nomer");
}

void UpdateAccessibleTexts(TMainForm& form, int shownSlot) {
  QStringList lines;
  for (const std::string& line : TableLines(form.Game.Table, shownSlot, form.SpokenLineShown()))
    lines << QString::fromStdString(line);
  const QString words = lines.join('\n');
  if (words != form.DXDraw->AccessibleText) {
    const QString old = form.DXDraw->AccessibleText;
    form.DXDraw->AccessibleText = words;
    if (QAccessible::isActive()) {
      QAccessibleEvent renamed(form.DXDraw, QAccessible::NameChanged);
      QAccessible::updateAccessibility(&renamed);
      QAccessibleTextUpdateEvent rewritten(form.DXDraw, 0, old, words);
      QAccessible::updateAccessibility(&rewritten);
    }
  }

  const std::array<std::pair<TPictureBox*, TOptionRow>, 4> levels = {{
      {form.Image2, TOptionRow::Music},
      {form.Image3, TOptionRow::Sound},
      {form.Image4, TOptionRow::Skill},
      {form.Image7, TOptionRow::Rule},
  }};
  for (const auto& [level, row] : levels)
    Rename(level, Utf8(RowLabel(row)) + ": " + QString::fromStdString(LevelWords(row, form.Game.Settings)));
}

}  // namespace kolbet
