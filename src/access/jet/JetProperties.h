#pragma once

// The property blob Access keeps for each object in MSysObjects.LvProp
// ("MR2" in Jet 4, "KKD" in Jet 3): a list of property names, then one block
// of values for the object itself and one per column. Only what the engine
// needs is kept: Required, DefaultValue and ResultType of each column.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

namespace jet {

struct ColumnProperties {
    bool required = false;
    bool hasDefault = false;
    QString defaultValue;
    int resultType = 0;  // a calculated column's: the engine type code of its values
};

// Column name -> its properties. The block of the object itself (no name) is
// left out. A malformed blob gives what could be read before the damage.
using TextDecoder = std::function<QString(const uchar* data, qsizetype length)>;
QHash<QString, ColumnProperties> parseColumnProperties(const QByteArray& blob, const TextDecoder& text);

}  // namespace jet
