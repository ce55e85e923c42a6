#include "PxlibPeer.h"

extern "C" {
#include <paradox.h>
}

#include <gtest/gtest.h>

#include <algorithm>

namespace pxpeer {

namespace {

void CollectMessages(pxdoc_t*, int level, const char* message, void* data) {
    auto* messages = static_cast<std::vector<std::string>*>(data);
    messages->push_back(std::to_string(level) + ": " + message);
}

pxdoc_t* NewDoc(std::vector<std::string>* messages) {
    return PX_new3(CollectMessages, nullptr, nullptr, nullptr, messages);
}

}  // namespace

PxTable PxRead(const std::string& hostDb, const std::string& hostIndex) {
    PxTable table;
    pxdoc_t* px = NewDoc(&table.messages);
    if (PX_open_file(px, hostDb.c_str()) < 0) {
        PX_delete(px);
        return table;
    }
    table.opened = true;
    pxhead_t* h = px->px_head;
    table.fileType = h->px_filetype;
    table.fileVersion = h->px_fileversion;
    table.blockSizeKiB = h->px_maxtablesize;
    table.keyFields = h->px_primarykeyfields;
    table.numRecords = h->px_numrecords;
    table.encryption = h->px_encryption;
    for (int f = 0; f < h->px_numfields; ++f) {
        const pxfield_t& field = h->px_fields[f];
        table.fields.push_back({field.px_fname ? field.px_fname : "", field.px_ftype, field.px_flen,
                                field.px_fdc});
    }
    pxdoc_t* index = nullptr;
    if (!hostIndex.empty()) {
        index = NewDoc(&table.messages);
        if (PX_open_file(index, hostIndex.c_str()) == 0 && PX_read_primary_index(index) == 0 &&
            PX_add_primary_index(px, index) == 0) {
            table.indexAccepted = true;
        }
    }
    const int recordSize = PX_get_recordsize(px);
    std::vector<char> record(static_cast<std::size_t>(recordSize) + 16);
    const int count = PX_get_num_records(px);
    for (int r = 0; r < count; ++r) {
        if (PX_get_record(px, r, record.data()) == nullptr) {
            table.messages.push_back("record " + std::to_string(r) + " could not be read");
            continue;
        }
        std::vector<PxCell> row;
        int offset = 0;
        for (const PxField& field : table.fields) {
            PxCell cell;
            char* data = record.data() + offset;
            switch (field.type) {
                case pxfAlpha: {
                    char* value = nullptr;
                    if (PX_get_data_alpha(px, data, field.length, &value) > 0 && value) {
                        cell.isNull = false;
                        cell.text = value;
                    }
                    if (value) px->free(px, value);
                    break;
                }
                case pxfBytes: {
                    char* value = nullptr;
                    if (PX_get_data_bytes(px, data, field.length, &value) > 0 && value) {
                        cell.isNull = false;
                        cell.text.assign(value, static_cast<std::size_t>(field.length));
                    }
                    if (value) px->free(px, value);
                    break;
                }
                case pxfBCD: {
                    char* value = nullptr;
                    if (PX_get_data_bcd(px, reinterpret_cast<unsigned char*>(data), field.decimals,
                                        &value) > 0 && value) {
                        cell.isNull = false;
                        cell.text = value;
                    }
                    if (value) px->free(px, value);
                    break;
                }
                case pxfShort: {
                    short v = 0;
                    if (PX_get_data_short(px, data, 2, &v) > 0) {
                        cell.isNull = false;
                        cell.integer = v;
                    }
                    break;
                }
                case pxfLogical: {
                    char v = 0;
                    if (PX_get_data_byte(px, data, 1, &v) > 0) {
                        cell.isNull = false;
                        cell.integer = v;
                    }
                    break;
                }
                case pxfLong:
                case pxfDate:
                case pxfTime:
                case pxfAutoInc: {
                    long v = 0;
                    if (PX_get_data_long(px, data, 4, &v) > 0) {
                        cell.isNull = false;
                        cell.integer = v;
                    }
                    break;
                }
                case pxfNumber:
                case pxfCurrency:
                case pxfTimestamp: {
                    double v = 0;
                    if (PX_get_data_double(px, data, 8, &v) > 0) {
                        cell.isNull = false;
                        cell.number = v;
                    }
                    break;
                }
                default:
                    break;  // BLOB fields are not compared
            }
            offset += field.type == pxfBCD ? 17 : field.length;
            row.push_back(cell);
        }
        table.rows.push_back(row);
    }
    PX_close(px);
    PX_delete(px);
    if (index != nullptr) {
        PX_close(index);
        PX_delete(index);
    }
    return table;
}

void PxWrite(const std::string& hostDb, const PxWriteSpec& wanted) {
    std::vector<std::string> messages;
    pxdoc_t* px = NewDoc(&messages);
    const int n = static_cast<int>(wanted.fields.size());
    auto* fields = static_cast<pxfield_t*>(px->malloc(px, sizeof(pxfield_t) * n, "fields"));
    for (int f = 0; f < n; ++f) {
        fields[f].px_fname = PX_strdup(px, wanted.fields[f].name.c_str());
        fields[f].px_ftype = static_cast<char>(wanted.fields[f].type);
        fields[f].px_flen = wanted.fields[f].type == pxfBCD ? 17 : wanted.fields[f].length;
        fields[f].px_fdc = wanted.fields[f].decimals;
    }
    ASSERT_EQ(0, PX_create_file(px, fields, n, hostDb.c_str(),
                                wanted.keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB));
    if (wanted.keyFields > 0) PX_set_value(px, "numprimkeys", static_cast<float>(wanted.keyFields));
    px->px_head->px_maxtablesize = wanted.blockSizeKiB;
    if (!wanted.password.empty()) PX_set_parameter(px, "password", wanted.password.c_str());
    const int recordSize = PX_get_recordsize(px);
    std::vector<char> record(static_cast<std::size_t>(recordSize));
    for (const auto& row : wanted.rows) {
        std::fill(record.begin(), record.end(), 0);
        int offset = 0;
        for (int f = 0; f < n; ++f) {
            const PxField& field = wanted.fields[f];
            const PxCell& cell = row[static_cast<std::size_t>(f)];
            char* data = record.data() + offset;
            offset += field.type == pxfBCD ? 17 : field.length;
            if (cell.isNull) continue;
            switch (field.type) {
                case pxfAlpha:
                    PX_put_data_alpha(px, data, field.length, const_cast<char*>(cell.text.c_str()));
                    break;
                case pxfBytes:
                    PX_put_data_bytes(px, data, field.length, const_cast<char*>(cell.text.data()));
                    break;
                case pxfBCD:
                    PX_put_data_bcd(px, data, field.decimals, const_cast<char*>(cell.text.c_str()));
                    break;
                case pxfShort:
                    PX_put_data_short(px, data, 2, static_cast<short>(cell.integer));
                    break;
                case pxfLogical:
                    PX_put_data_byte(px, data, 1, static_cast<char>(cell.integer));
                    break;
                case pxfLong:
                case pxfDate:
                case pxfTime:
                case pxfAutoInc:
                    PX_put_data_long(px, data, 4, static_cast<int>(cell.integer));
                    break;
                default:
                    PX_put_data_double(px, data, 8, cell.number);
                    break;
            }
        }
        PX_put_record(px, record.data());
    }
    if (wanted.keyFields > 0) {
        std::string indexPath = hostDb.substr(0, hostDb.find_last_of('.')) + ".PX";
        pxdoc_t* index = NewDoc(&messages);
        auto* keys = static_cast<pxfield_t*>(index->malloc(index, sizeof(pxfield_t) * wanted.keyFields, "keys"));
        for (int f = 0; f < wanted.keyFields; ++f) {
            keys[f].px_fname = PX_strdup(index, wanted.fields[f].name.c_str());
            keys[f].px_ftype = static_cast<char>(wanted.fields[f].type);
            keys[f].px_flen = wanted.fields[f].length;
            keys[f].px_fdc = 0;
        }
        ASSERT_EQ(0, PX_create_file(index, keys, wanted.keyFields, indexPath.c_str(), pxfFileTypPrimIndex));
        index->px_head->px_maxtablesize = wanted.blockSizeKiB;
        ASSERT_EQ(0, PX_write_primary_index(px, index));
        PX_close(index);
        PX_delete(index);
    }
    PX_close(px);
    PX_delete(px);
}

std::vector<std::string> PxRowTexts(const PxTable& table) {
    std::vector<std::string> texts;
    for (const auto& row : table.rows) {
        std::string text;
        for (std::size_t f = 0; f < row.size() && f < table.fields.size(); ++f) {
            if (f != 0) text += "|";
            const PxCell& cell = row[f];
            switch (table.fields[f].type) {
                case pxfLong:
                case pxfDate:
                case pxfTime:
                case pxfAutoInc:
                    if (cell.isNull || cell.integer == -2147483648L) {
                        text += "<null>";
                    } else {
                        text += std::to_string(cell.integer);
                    }
                    break;
                case pxfShort:
                case pxfLogical:
                    text += cell.isNull ? "<null>" : std::to_string(cell.integer);
                    break;
                case pxfNumber:
                case pxfCurrency:
                case pxfTimestamp:
                    text += cell.isNull ? "<null>" : std::to_string(cell.number);
                    break;
                default:
                    text += cell.isNull ? "<null>" : cell.text;
            }
        }
        texts.push_back(text);
    }
    return texts;
}

}  // namespace pxpeer

// pxlib 0.6.8 keeps some of what it allocates (PX_read_primary_index and its
// own buffers) after PX_delete. Those leaks are pxlib's, not the engine's;
// LeakSanitizer reads this list when the tests are built with it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libpx.so\n"; }
