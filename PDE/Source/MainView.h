// The panel's top-level view; the panes are shown inside it.
#pragma once

#include <QWidget>

namespace PDE {

class MainView : public QWidget {
    Q_OBJECT
public:
    explicit MainView(QWidget* parent = nullptr) : QWidget(parent) {}
};

} // namespace PDE
