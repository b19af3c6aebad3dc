#pragma once
// What the configuration window needs of a family's form: its rows and the
// operations on its working block. KConfigForm and MConfigForm provide it.
#include <cstddef>
#include <cstring>
#include <string>

#include "app/family.h"
#include "config/check_result.h"
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

// A family's form: its working block, the view state and every row, with the
// family's procedures behind the interface. Traits (KFormTraits,
// MFormTraits) name the block type, the row count and the procedures.
template <class Traits>
struct FamilyConfigForm final : ConfigForm {
    typename Traits::Block block;   // the working block
    FormView view;
    FormRow row[Traits::rowCount];

    Family family() const override { return Traits::family; }
    int rowCount() const override { return Traits::rowCount; }
    const RowInfo& rowInfo(int r) const override { return Traits::rowInfo(r); }
    FormRow* rows() override { return row; }
    FormView& formView() override { return view; }
    const unsigned char* blockBytes() const override { return reinterpret_cast<const unsigned char*>(&block); }
    std::size_t blockSize() const override { return sizeof block; }
    void create() override { Traits::create(*this); }
    void unitChanged() override { Traits::unitChanged(*this); }
    void blowerTypeChanged() override { Traits::blowerTypeChanged(*this); }
    void powerAtChanged() override { Traits::powerAtChanged(*this); }
    void loadDefaults() override { Traits::loadDefaults(*this); }
    void takeBlock(const unsigned char* bytes) override
    {
        typename Traits::Block taken;
        std::memcpy(&taken, bytes, sizeof taken);
        Traits::takeBlock(*this, taken);
    }
    void gatherAll() override { Traits::gatherAll(*this); }
    std::string checkFailure() const override
    {
        const CheckResult result = Traits::check(block);
        return result.failureNumber ? Traits::failureText(result) : std::string();
    }
};
