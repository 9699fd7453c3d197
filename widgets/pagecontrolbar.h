#pragma once
// The paging bar under the record and memorandum tables: first, previous,
// four page buttons, the page field, next and last. It emits nothing; its
// owners reach its buttons directly.

#include "widgets/bwidget.h"

class BLineEdit;
class QPushButton;

class PageControlBar : public BWidget
{
    Q_OBJECT
public:
    explicit PageControlBar(QWidget* parent = nullptr);

    QPushButton* first = nullptr;
    QPushButton* previous = nullptr;
    QPushButton* pageButtons[4] = {};
    BLineEdit* pageField = nullptr;
    QPushButton* next = nullptr;
    QPushButton* last = nullptr;
};
