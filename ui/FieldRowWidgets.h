#pragma once

#include "FieldCatalogue.h"

class QCheckBox;
class QIcon;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tallyglass {

// The four controls of one field row: caption label, value box, copy button and tick box,
// named as the catalogue says and placed as the window's layout table says.
struct FieldRowWidgets {
    const FieldRow* row = nullptr;
    QLabel* label = nullptr;
    QLineEdit* box = nullptr;
    QPushButton* copy = nullptr;
    QCheckBox* tick = nullptr;
};

// Creates the row's controls inside its frame, at their places in the layout table.
FieldRowWidgets CreateFieldRow(const FieldRow& row, QWidget* frame, const QIcon& copyGlyph);

} // namespace tallyglass
