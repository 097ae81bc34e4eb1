// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The task list decoded straight from the reply body with simdjson.
#include "TaskListModel.h"

#include "api/JsonUtil.h"

#include <QHashFunctions>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// GCC 12 warns falsely inside simdjson's inlined tape walking.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <simdjson.h>

namespace flk {

namespace {
// Qt's parser drops a raw byte-order mark at the start of any text (a name
// or a value) but keeps an escaped one; after unescaping, simdjson cannot
// tell the two apart. A list with such a text is read by Qt's parser instead,
// so that both readings always agree.
bool startsWithBom(std::string_view text)
{
    return text.size() >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF';
}

struct FastReader {
    bool ambiguous = false;

    QString text(std::string_view v)
    {
        if (startsWithBom(v))
            ambiguous = true;
        return QString::fromUtf8(v.data(), qsizetype(v.size()));
    }

    // A simdjson value as the QJsonValue Qt's parser would have made of it.
    QJsonValue toQt(simdjson::dom::element e, int depth = 0)
    {
        switch (e.type()) {
        case simdjson::dom::element_type::STRING:
            return text(e.get_string().value_unsafe());
        case simdjson::dom::element_type::INT64:
            return qint64(e.get_int64().value_unsafe());
        case simdjson::dom::element_type::UINT64:
            return double(e.get_uint64().value_unsafe());
        case simdjson::dom::element_type::DOUBLE:
            return e.get_double().value_unsafe();
        case simdjson::dom::element_type::BOOL:
            return e.get_bool().value_unsafe();
        case simdjson::dom::element_type::NULL_VALUE:
            return QJsonValue(QJsonValue::Null);
        case simdjson::dom::element_type::ARRAY: {
            QJsonArray a;
            simdjson::dom::array items;
            if (depth < 64 && e.get_array().get(items) == simdjson::SUCCESS)
                for (simdjson::dom::element item : items)
                    a.append(toQt(item, depth + 1));
            return a;
        }
        case simdjson::dom::element_type::OBJECT: {
            QJsonObject o;
            simdjson::dom::object fields;
            if (depth < 64 && e.get_object().get(fields) == simdjson::SUCCESS)
                for (auto field : fields)
                    o.insert(text(field.key), toQt(field.value, depth + 1));
            return o;
        }
        }
        return {};
    }

    // The common forms go straight into the cell (no JSON value is made),
    // and a text that the previous list had in this cell shares its string;
    // anything else takes the general rule.
    void setCellFrom(
        TaskRowFields &row, int c, simdjson::dom::element v, const TaskRowFields *previous)
    {
        const bool numeric = c == TaskListModel::ColEndTime || c == TaskListModel::ColQueuePosition;
        if (v.type() == simdjson::dom::element_type::STRING && !numeric) {
            const std::string_view t = v.get_string().value_unsafe();
            if (previous && sameText(previous->cells[size_t(c)], t))
                row.cells[size_t(c)] = previous->cells[size_t(c)];
            else
                row.cells[size_t(c)] = text(t);
            return;
        }
        if (v.type() == simdjson::dom::element_type::INT64) {
            const qint64 n = v.get_int64().value_unsafe();
            if (numeric && n < 1) {
                row.cells[size_t(c)] = QString();
                return;
            }
            // Most numbers are what they were: share that text (no new
            // string to make, compare and free on every poll).
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
            const std::string_view t(digits, size_t(end - digits));
            if (previous && sameText(previous->cells[size_t(c)], t))
                row.cells[size_t(c)] = previous->cells[size_t(c)];
            else
                row.cells[size_t(c)] = QString::fromLatin1(t.data(), qsizetype(t.size()));
            return;
        }
        TaskListModel::setCell(row, c, toQt(v));
    }

private:
    // Whether an ASCII UTF-8 text equals s, without making a string of it.
    static bool sameText(const QString &s, std::string_view t)
    {
        if (s.size() != qsizetype(t.size()))
            return false;
        const QChar *u = s.constData();
        for (size_t i = 0; i < t.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(t[i]);
            if (c >= 0x80 || u[i].unicode() != c)
                return false;
        }
        return true;
    }
};
} // namespace

namespace {
// A task's members as received, written in a form that is equal exactly
// when the members are (each name and text with its length, each number as
// its bits) into a scratch buffer that lives in the cache, then digested.
class MemberWriter
{
public:
    void start(bool isObject)
    {
        m_used = 0;
        put(isObject ? 'O' : 'X');
    }
    // False when the member is an array or an object (such a task is
    // always read afresh).
    bool member(std::string_view key, simdjson::dom::element v)
    {
        sized(key);
        switch (v.type()) {
        case simdjson::dom::element_type::STRING:
            put('s');
            sized(v.get_string().value_unsafe());
            return true;
        case simdjson::dom::element_type::INT64:
            bits('i', v.get_int64().value_unsafe());
            return true;
        case simdjson::dom::element_type::UINT64:
            bits('u', v.get_uint64().value_unsafe());
            return true;
        case simdjson::dom::element_type::DOUBLE:
            bits('d', v.get_double().value_unsafe());
            return true;
        case simdjson::dom::element_type::BOOL:
            put(v.get_bool().value_unsafe() ? 't' : 'f');
            return true;
        case simdjson::dom::element_type::NULL_VALUE:
            put('z');
            return true;
        case simdjson::dom::element_type::ARRAY:
        case simdjson::dom::element_type::OBJECT:
            put('x');
            return false;
        }
        return false;
    }
    // Two digests under independent seeds: 128 bits, so two different
    // member lists digest the same with odds of 1 in 3.4e38.
    std::array<quint64, 2> digest() const
    {
        return { quint64(qHashBits(m_buffer.data(), size_t(m_used), 0x9E3779B97F4A7C15ULL)),
            quint64(qHashBits(m_buffer.data(), size_t(m_used), 0xC2B2AE3D27D4EB4FULL)) };
    }

private:
    void room(size_t n)
    {
        if (m_used + n > m_buffer.size())
            m_buffer.resize(std::max(m_buffer.size() * 2, m_used + n));
    }
    void put(char tag)
    {
        room(1);
        m_buffer[m_used++] = tag;
    }
    void sized(std::string_view t)
    {
        const quint32 n = quint32(t.size());
        room(sizeof n + t.size());
        std::memcpy(m_buffer.data() + m_used, &n, sizeof n);
        std::memcpy(m_buffer.data() + m_used + sizeof n, t.data(), t.size());
        m_used += sizeof n + t.size();
    }
    template <class T> void bits(char tag, T v)
    {
        room(1 + sizeof v);
        m_buffer[m_used] = tag;
        std::memcpy(m_buffer.data() + m_used + 1, &v, sizeof v);
        m_used += 1 + sizeof v;
    }

    std::vector<char> m_buffer = std::vector<char>(1024);
    size_t m_used = 0;
};
} // namespace

namespace {
constexpr qsizetype kKeepParserBytes = 8 * 1024 * 1024;

bool isTokenChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'
        || c == '+' || c == '.';
}

// A list may carry numbers JSON has no room for (NaN, Infinity, a magnitude
// beyond a double): they are read as null, so one odd value costs that value
// and not the whole list. Returns the text with them replaced, or nothing
// when there were none.
std::optional<QByteArray> withOddNumbersAsNull(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size());
    bool changed = false, inString = false;
    for (qsizetype i = 0; i < in.size();) {
        const char c = in[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < in.size()) {
                out += in[i + 1];
                i += 2;
                continue;
            }
            inString = c != '"';
            ++i;
            continue;
        }
        if (c == '"') {
            inString = true;
            out += c;
            ++i;
            continue;
        }
        if (!isTokenChar(c)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < in.size() && isTokenChar(in[j]))
            ++j;
        const QByteArray token = in.mid(i, j - i);
        i = j;
        QByteArray bare = token;
        if (bare.startsWith('-') || bare.startsWith('+'))
            bare = bare.mid(1);
        bool odd = bare == "NaN" || bare == "Infinity" || bare == "inf" || bare == "nan";
        if (!odd && (token[0] == '-' || (token[0] >= '0' && token[0] <= '9'))) {
            const std::string text = token.toStdString();
            char *end = nullptr;
            errno = 0;
            const double d = std::strtod(text.c_str(), &end);
            odd = end == text.c_str() + text.size() && (errno == ERANGE || !std::isfinite(d));
        }
        if (odd) {
            out += "null";
            changed = true;
        } else {
            out += token;
        }
    }
    if (!changed)
        return std::nullopt;
    return out;
}
} // namespace

std::optional<QJsonObject> TaskListModel::decodeBody(const QByteArray &body, TaskListSnapshot *s,
    const QList<TaskRow> &previous, const QList<TaskDigest> &previousDigests)
{
    // A UTF-8 byte-order mark is not part of the JSON.
    const qsizetype skip = body.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    // One parser for the whole program keeps its buffers between polls: the
    // next poll of a list of the same size reuses them instead of faulting
    // in fresh pages (a parser per worker thread held several lists' worth).
    // A list decoded while another is (two servers at once) gets a parser of
    // its own for the time. Big buffers go once the list shrank to a quarter
    // of what they were made for (memory is given back after a big list).
    static std::mutex sharedMutex;
    static simdjson::dom::parser sharedParser;
    std::unique_lock<std::mutex> sharing(sharedMutex, std::try_to_lock);
    std::optional<simdjson::dom::parser> own;
    if (!sharing.owns_lock())
        own.emplace();
    simdjson::dom::parser &parser = own ? *own : sharedParser;
    struct Release {
        simdjson::dom::parser &p;
        size_t bodySize;
        ~Release()
        {
            if (p.capacity() > size_t(kKeepParserBytes) && bodySize * 4 < p.capacity())
                p = simdjson::dom::parser();
        }
    } release { parser, size_t(body.size()) };
    // What the fast path does not take (an integer beyond 64 bits, a text
    // opening with a byte-order mark) is read as Qt reads it: the list stays
    // readable and reads the same either way.
    const auto readByQt = [&]() -> std::optional<QJsonObject> {
        QJsonParseError error;
        QJsonDocument qt = QJsonDocument::fromJson(body.mid(skip), &error);
        if (error.error != QJsonParseError::NoError) {
            if (const auto mended = withOddNumbersAsNull(body.mid(skip)))
                qt = QJsonDocument::fromJson(*mended, &error);
        }
        if (error.error != QJsonParseError::NoError || !qt.isObject())
            return std::nullopt;
        QJsonObject envelope = qt.object();
        *s = decode(envelope);
        if (envelope.contains(QLatin1String("files")))
            envelope.insert(QStringLiteral("files"), QJsonArray());
        return envelope;
    };
    simdjson::dom::element doc;
    simdjson::dom::object root;
    if (parser.parse(body.constData() + skip, size_t(body.size() - skip)).get(doc)
            != simdjson::SUCCESS
        || doc.get_object().get(root) != simdjson::SUCCESS)
        return readByQt();
    // Keys arrive as UTF-8 views; columns are found by their Latin-1 keys.
    static const std::array<std::string_view, ColumnCount> keys = [] {
        std::array<std::string_view, ColumnCount> k;
        for (int c = 0; c < ColumnCount; ++c)
            k[size_t(c)] = columnKey(c);
        return k;
    }();
    FastReader reader;
    QJsonObject envelope;
    bool sawFiles = false;
    for (auto member : root) {
        if (member.key != "files") {
            envelope.insert(reader.text(member.key), reader.toQt(member.value));
            if (reader.ambiguous)
                return readByQt();
            continue;
        }
        // Later duplicates of "files" replace earlier ones, as in Qt.
        sawFiles = true;
        s->rows.clear();
        s->digests.clear();
        simdjson::dom::array files;
        if (member.value.get_array().get(files) != simdjson::SUCCESS) {
            envelope.insert(QStringLiteral("files"), reader.toQt(member.value));
            continue;
        }
        MemberWriter members;
        const bool comparable = previousDigests.size() == previous.size();
        s->rows.reserve(qsizetype(files.size()));
        s->digests.reserve(qsizetype(files.size()));
        for (simdjson::dom::element f : files) {
            const qsizetype index = s->rows.size();
            const TaskRow *before = index < previous.size() ? &previous[index] : nullptr;
            simdjson::dom::object task;
            const bool isObject = f.get_object().get(task) == simdjson::SUCCESS;
            // The members as received: the same as the row before's, the
            // row stays as it is (nothing is read or made).
            bool plain = isObject;
            members.start(isObject);
            if (isObject) {
                for (auto field : task) {
                    if (startsWithBom(field.key))
                        return readByQt();
                    if (field.value.type() == simdjson::dom::element_type::STRING
                        && startsWithBom(field.value.get_string().value_unsafe()))
                        return readByQt();
                    plain = members.member(field.key, field.value) && plain;
                }
            }
            const TaskDigest digest = plain ? members.digest() : TaskDigest {};
            s->digests.append(digest);
            if (comparable && before && digest != TaskDigest {}
                && digest == previousDigests[index]) {
                if (s->base.isEmpty())
                    s->base = previous;
                s->rows.append(TaskRow::kept());
                continue;
            }
            const TaskRowFields *was = before ? &before->fields() : nullptr;
            TaskRow made;
            TaskRowFields &row = made.edit();
            if (isObject) {
                for (auto field : task) {
                    if (field.key == "id") {
                        row.id = taskId(reader.toQt(field.value));
                        row.idValue = json::toInt(row.id);
                        continue;
                    }
                    for (int c = 0; c < ColumnCount; ++c) {
                        if (keys[size_t(c)] == field.key) {
                            reader.setCellFrom(row, c, field.value, was);
                            break;
                        }
                    }
                }
            } else if (f.is_null()) {
                qInfo("Error operation for NSNull");
            }
            if (reader.ambiguous)
                return readByQt();
            row.type = row.cells[ColType];
            if (was && was->id == row.id && was->type == row.type && !was->rowKey.isEmpty())
                row.rowKey = was->rowKey;
            else
                row.rowKey = TaskRow::makeKey(row.type, row.id, index);
            s->rows.append(std::move(made));
        }
    }
    if (sawFiles)
        envelope.insert(QStringLiteral("files"), QJsonArray()); // decoded into the rows
    finishSnapshot(*s, envelope);
    return envelope;
}

} // namespace flk

#pragma GCC diagnostic pop
