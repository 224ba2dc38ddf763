#include "access/jet/JetProperties.h"

#include "access/jet/JetValues.h"

#include <QStringList>

namespace jet {

namespace {

constexpr int kTypeBoolean = 1;
constexpr int kTypeByte = 2;
constexpr int kTypeText = 10;
constexpr int kTypeMemo = 12;

struct Span {
    const uchar* data;
    qsizetype size;
};

// Values of one block: the block's name, then records of
// (length 2, ddl flag 1, type 1, name index 2, data size 2, data).
void readBlock(Span block, const QStringList& names, const TextDecoder& text, QHash<QString, ColumnProperties>& out)
{
    if (block.size < 4)
        return;
    const qsizetype nameBlock = qsizetype(le32(block.data));
    if (nameBlock < 4 || nameBlock > block.size)
        return;
    QString blockName;
    if (nameBlock > 6) {
        const qsizetype nameLength = le16(block.data + 4);
        if (6 + nameLength > nameBlock)
            return;
        blockName = text(block.data + 6, nameLength);
    }
    if (blockName.isEmpty())
        return;  // the object's own properties
    ColumnProperties props;
    qsizetype pos = nameBlock;
    while (pos + 8 <= block.size) {
        const qsizetype recordLength = le16(block.data + pos);
        if (recordLength < 8 || pos + recordLength > block.size)
            break;
        const int type = block.data[pos + 3];
        const int nameIndex = le16(block.data + pos + 4);
        const qsizetype dataSize = le16(block.data + pos + 6);
        if (8 + dataSize > recordLength)
            break;
        const uchar* data = block.data + pos + 8;
        const QString name = nameIndex < names.size() ? names[nameIndex] : QString();
        if (name.compare(QLatin1String("Required"), Qt::CaseInsensitive) == 0 && type == kTypeBoolean
            && dataSize >= 1) {
            props.required = data[0] != 0;
        } else if (name.compare(QLatin1String("DefaultValue"), Qt::CaseInsensitive) == 0
                   && (type == kTypeText || type == kTypeMemo)) {
            props.hasDefault = true;
            props.defaultValue = text(data, dataSize);
        } else if (name.compare(QLatin1String("ResultType"), Qt::CaseInsensitive) == 0 && type == kTypeByte
                   && dataSize >= 1) {
            props.resultType = data[0];
        }
        pos += recordLength;
    }
    out.insert(blockName, props);
}

}  // namespace

QHash<QString, ColumnProperties> parseColumnProperties(const QByteArray& blob, const TextDecoder& text)
{
    QHash<QString, ColumnProperties> out;
    const uchar* data = reinterpret_cast<const uchar*>(blob.constData());
    const qsizetype size = blob.size();
    if (size < 4 || !(blob.startsWith(QByteArray("MR2\0", 4)) || blob.startsWith(QByteArray("KKD\0", 4))))
        return out;
    QStringList names;
    qsizetype pos = 4;
    while (pos + 6 <= size) {
        const qsizetype chunkLength = qsizetype(le32(data + pos));
        const int chunkType = le16(data + pos + 4);
        if (chunkLength < 6 || pos + chunkLength > size)
            break;
        const Span body{data + pos + 6, chunkLength - 6};
        if (chunkType == 0x80) {
            names.clear();
            qsizetype p = 0;
            while (p + 2 <= body.size) {
                const qsizetype length = le16(body.data + p);
                if (p + 2 + length > body.size)
                    break;
                names.append(text(body.data + p + 2, length));
                p += 2 + length;
            }
        } else if (chunkType <= 0x02) {
            readBlock(body, names, text, out);
        }
        pos += chunkLength;
    }
    return out;
}

}  // namespace jet
