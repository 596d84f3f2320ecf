#include "libtagging/id3/id3v2frameidtable.h"

#include <QHash>

#include <algorithm>

namespace {
// The system's own correspondence, which departs from the published standards in places
// on purpose (2.4 frames with 2.3 ids, dropped 2.3 frames kept in 2.4, ids outside the
// standards): files written by earlier releases depend on it.
const char *const frameIds[][3] = {
    {"CRA", "AENC", "AENC"}, {"PIC", "APIC", "APIC"}, {"", "", "ASPI"},     {"COM", "COMM", "COMM"},
    {"", "COMR", "COMR"},    {"CRM", "", ""},         {"", "ENCR", "ENCR"}, {"", "", "EQU2"},
    {"EQU", "EQUA", ""},     {"ETC", "ETCO", "ETCO"}, {"GEO", "GEOB", "GEOB"}, {"", "GRID", "GRID"},
    {"GP1", "GRP1", "GRP1"}, {"IPL", "IPLS", "TIPL"}, {"LNK", "LINK", "LINK"}, {"MCI", "MCDI", "MCDI"},
    {"MLL", "MLLT", "MLLT"}, {"MVI", "MVIN", "MVIN"}, {"MVN", "MVNM", "MVNM"}, {"", "OWNE", "OWNE"},
    {"CNT", "PCNT", "PCNT"}, {"PCS", "PCST", "PCST"}, {"POP", "POPM", "POPM"}, {"", "POSS", "POSS"},
    {"", "PRIV", "PRIV"},    {"BUF", "RBUF", "RBUF"}, {"", "RVA2", "RVA2"}, {"RVA", "RVAD", ""},
    {"REV", "RVRB", "RVRB"}, {"", "", "SEEK"},        {"", "", "SIGN"},     {"SLT", "SYLT", "SYLT"},
    {"STC", "SYTC", "SYTC"}, {"TAL", "TALB", "TALB"}, {"TBP", "TBPM", "TBPM"}, {"TCT", "TCAT", "TCAT"},
    {"TCP", "TCMP", "TCMP"}, {"TCM", "TCOM", "TCOM"}, {"TCO", "TCON", "TCON"}, {"TCR", "TCOP", "TCOP"},
    {"TDA", "TDAT", "TDAT"}, {"", "TDEN", "TDEN"},     {"TDS", "TDES", "TDES"}, {"TDY", "TDLY", "TDLY"},
    {"", "TDOR", "TDOR"},    {"", "TDRC", "TDRC"},     {"", "TDRL", "TDRL"}, {"", "TDTG", "TDTG"},
    {"TEN", "TENC", "TENC"}, {"TXT", "TEXT", "TEXT"}, {"TFT", "TFLT", "TFLT"}, {"TID", "TGID", "TGID"},
    {"TIM", "TIME", "TIME"}, {"TT1", "TIT1", "TIT1"}, {"TT2", "TIT2", "TIT2"}, {"TT3", "TIT3", "TIT3"},
    {"TKE", "TKEY", "TKEY"}, {"TKW", "TKWD", "TKWD"}, {"TLA", "TLAN", "TLAN"}, {"TLE", "TLEN", "TLEN"},
    {"", "", "TMCL"},        {"TMT", "TMED", "TMED"}, {"TMO", "TMOO", "TMOO"}, {"TOT", "TOAL", "TOAL"},
    {"TOF", "TOFN", "TOFN"}, {"TOL", "TOLY", "TOLY"}, {"TOA", "TOPE", "TOPE"}, {"TOR", "TORY", "TORY"},
    {"", "TOWN", "TOWN"},    {"TP1", "TPE1", "TPE1"}, {"TP2", "TPE2", "TPE2"}, {"TP3", "TPE3", "TPE3"},
    {"TP4", "TPE4", "TPE4"}, {"TPA", "TPOS", "TPOS"}, {"", "TPRO", "TPRO"}, {"TPB", "TPUB", "TPUB"},
    {"TRK", "TRCK", "TRCK"}, {"TRD", "TRDA", ""},     {"", "TRSN", "TRSN"}, {"", "TRSO", "TRSO"},
    {"TSI", "TSIZ", "TSIZ"}, {"TS2", "TSO2", "TSO2"}, {"TSA", "TSOA", "TSOA"}, {"TSC", "TSOC", "TSOC"},
    {"TSP", "TSOP", "TSOP"}, {"TST", "TSOT", "TSOT"}, {"TRC", "TSRC", "TSRC"}, {"TSS", "TSSE", "TSSE"},
    {"", "TSST", "TSST"},    {"TXX", "TXXX", "TXXX"}, {"TYE", "TYER", "TYER"}, {"UFI", "UFID", "UFID"},
    {"", "USER", "USER"},    {"ULT", "USLT", "USLT"}, {"WCM", "WCOM", "WCOM"}, {"WCP", "WCOP", "WCOP"},
    {"WFE", "WFED", "WFED"}, {"WAF", "WOAF", "WOAF"}, {"WAR", "WOAR", "WOAR"}, {"WAS", "WOAS", "WOAS"},
    {"", "WORS", "WORS"},    {"", "WPAY", "WPAY"},     {"WPB", "WPUB", "WPUB"}, {"WXX", "WXXX", "WXXX"},
};
} // namespace

const QList<Id3v2FrameIdRow> &Id3v2FrameIdTable::rows()
{
    static const QList<Id3v2FrameIdRow> table = [] {
        QList<Id3v2FrameIdRow> result;
        for (const auto &row : frameIds)
            result.append({QString::fromLatin1(row[0]), QString::fromLatin1(row[1]), QString::fromLatin1(row[2])});
        return result;
    }();
    return table;
}

QString Id3v2FrameIdTable::convert(const QString &id, int version)
{
    if (version >= 2 && version <= 4) {
        // A blank id would match the empty cells of the rows. Ids read from frames are
        // upper case and unpadded already and are taken as they are.
        const bool plain = !id.isEmpty() && std::all_of(id.cbegin(), id.cend(), [](QChar c) {
            return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        });
        const QString key = plain ? id : id.trimmed().toUpper();
        if (key.isEmpty())
            return QString();
        // Every frame read asks: the first row holding the id in any version, looked up
        // instead of scanning the table.
        static const QHash<QString, qsizetype> rowOfId = [] {
            QHash<QString, qsizetype> result;
            const QList<Id3v2FrameIdRow> &table = rows();
            for (qsizetype i = 0; i < table.size(); ++i) {
                for (const QString *cell : {&table[i].id22, &table[i].id23, &table[i].id24}) {
                    if (!cell->isEmpty() && !result.contains(*cell))
                        result.insert(*cell, i);
                }
            }
            return result;
        }();
        const auto found = rowOfId.constFind(key);
        if (found != rowOfId.constEnd()) {
            const Id3v2FrameIdRow &row = rows().at(*found);
            return version == 2 ? row.id22 : version == 3 ? row.id23 : row.id24;
        }
    }
    return isValidFrameId(id, version) ? id : QString();
}

bool Id3v2FrameIdTable::isValidFrameId(const QString &id, int version)
{
    const int length = version == 2 ? 3 : (version == 3 || version == 4) ? 4 : -1;
    if (id.size() != length)
        return false;
    for (QChar c : id) {
        const bool valid = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ';
        if (!valid)
            return false;
    }
    return true;
}
