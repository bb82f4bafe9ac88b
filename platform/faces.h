#pragma once
// The faces the window letters with: the blackletter of the button faces and
// picture labels, and the face the table's texts ask for by name.

#include <QFont>
#include <QString>

namespace kolbet {

// The blackletter family (fonts-blankenburg), registered from its file once so
// that it does not depend on the fontconfig setup; a plain serif when missing.
QString BlackletterFamily();

// A blackletter font of `pixels` height that scales smoothly (no hinting), so
// that a label keeps its proportions at every size.
QFont BlackletterFont(double pixels);

// "Arial" as fontconfig resolves it (fonts-liberation2 answers), `points` taken
// at 96 dots per inch of the 640 × 480 surface, times the window's scale.
QFont ArialFont(double points, double scale);

}  // namespace kolbet
