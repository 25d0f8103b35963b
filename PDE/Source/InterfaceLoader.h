// Loads an interface file of the bundle: creates the plug-in's own classes by
// their registered names, the plain objects the file lists, binds outlets by
// objectName and wires each control's action to its target.
//
// In the .ui file:
//  - the top-level widget's string-list property "pdeObjects" lists plain
//    objects to create as "ClassName:objectName";
//  - a control's properties "pdeAction" (a selector such as "constraints:")
//    and "pdeTarget" (an objectName, or "owner" for the loading object) name
//    the method its action calls. Pop-ups act on activated(int), buttons and
//    check boxes on clicked(bool).
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace PDE {

class InterfaceLoader {
public:
    // Null when the file cannot be read or holds no widget.
    static std::unique_ptr<QWidget> load(const QString& path, QObject* owner, QString* error);
};

} // namespace PDE
