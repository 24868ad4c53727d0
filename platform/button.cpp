#include "platform/button.h"

#include <QAbstractButton>

void CButton::SetCheck(int nCheck) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetSafeWidget()))
        button->setChecked(nCheck == BST_CHECKED);
}

int CButton::GetCheck() const {
    auto* button = qobject_cast<QAbstractButton*>(GetSafeWidget());
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}
