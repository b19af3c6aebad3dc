#pragma once
// What the configuration window needs of a family's form: its rows and the
// operations on its working block. KConfigForm and MConfigForm provide it.
#include <cstddef>
#include <string>

#include "app/family.h"
#include "config/form_row.h"

class ConfigForm {
public:
    virtual ~ConfigForm() = default;

    virtual Family family() const = 0;
    virtual int rowCount() const = 0;
    virtual const RowInfo& rowInfo(int row) const = 0;
    virtual FormRow* rows() = 0;
    virtual FormView& formView() = 0;
    // The working block as the unit and the files hold it.
    virtual const unsigned char* blockBytes() const = 0;
    virtual std::size_t blockSize() const = 0;

    virtual void create() = 0;
    // Selection changes; the row already holds the new selection.
    virtual void unitChanged() = 0;
    virtual void blowerTypeChanged() = 0;
    virtual void powerAtChanged() = 0;
    virtual void loadDefaults() = 0;
    // A completed read or a loaded file (blockSize() bytes) becomes the
    // working block.
    virtual void takeBlock(const unsigned char* bytes) = 0;
    // Rows to block, as Save to File and Save Changes do before the check.
    virtual void gatherAll() = 0;
    // The check's message for the working block; empty when it passes.
    virtual std::string checkFailure() const = 0;
};
