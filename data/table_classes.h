#pragma once
// The accessor and group class of each table, and the four thread variables through which a thread
// reaches its own objects of them: <Label>AccessorObject and <Label>GroupObject own,
// <Label>GroupRef and <Label>AccessorRef only refer (and are empty whenever the object is unusable).
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/table_accessor.h"
#include "platform/classes/table_group.h"

namespace data {

struct KeyRegistration {
    const char* name;
    bool autoNumber;
};

// What binds an accessor to one table on the calling thread.
struct TableBinding {
    const rt::TableDesc& (*desc)();
    void* (*buffer)();
    std::string* (*memo)();  // nullptr when the table has no memo
    files::TableFile& (*file)();
    std::vector<KeyRegistration> keys;  // in registration order
};

// The steps every table's accessor shares: bind to this thread's buffer and instance, register the
// table's keys on first use.
class DictionaryAccessor : public cls::TableAccessor {
public:
    void Initialise() override;
    int UseTable(int useType) override;
    void TearDown() override;

protected:
    explicit DictionaryAccessor(const TableBinding& binding) : binding_(binding) {}
    // Sets or clears this table's AccessorRef thread variable.
    virtual void setAccessorRef(bool set) = 0;

private:
    const TableBinding& binding_;
};

class DictionaryGroup : public cls::TableGroup {
public:
    void TearDown() override;

protected:
    // Initialises the accessor (which sets its AccessorRef), then the group with use-logout 1.
    void initialiseWith(DictionaryAccessor* accessor);
    // Clears GroupRef, destroys the accessor object and clears AccessorObject.
    virtual void releaseAccessor() = 0;
};

#define DATA_DECLARE_TABLE(Label)                                                 \
    class Label##Accessor;                                                        \
    class Label##Group;                                                           \
    inline thread_local std::unique_ptr<Label##Accessor> Label##AccessorObject;   \
    inline thread_local std::unique_ptr<Label##Group> Label##GroupObject;         \
    inline thread_local Label##Group* Label##GroupRef = nullptr;                  \
    inline thread_local Label##Accessor* Label##AccessorRef = nullptr;            \
    const TableBinding& Label##Binding();                                         \
    class Label##Group final : public DictionaryGroup {                           \
    public:                                                                       \
        void Initialise();                                                        \
                                                                                  \
    protected:                                                                    \
        void releaseAccessor() override;                                          \
    };

DATA_DECLARE_TABLE(Manufacturer)
DATA_DECLARE_TABLE(Form)
DATA_DECLARE_TABLE(Doctors)
DATA_DECLARE_TABLE(PlanName)
DATA_DECLARE_TABLE(Pharmacy)
DATA_DECLARE_TABLE(PersonsName)
DATA_DECLARE_TABLE(DrugNames)
DATA_DECLARE_TABLE(Bloodpre)
DATA_DECLARE_TABLE(Glucose)
DATA_DECLARE_TABLE(Prescripts)
#undef DATA_DECLARE_TABLE

#define DATA_PLAIN_ACCESSOR(Label)                                        \
    class Label##Accessor : public DictionaryAccessor {                  \
    public:                                                              \
        Label##Accessor() : DictionaryAccessor(Label##Binding()) {}               \
                                                                         \
    protected:                                                           \
        void setAccessorRef(bool set) override {                         \
            Label##AccessorRef = set ? this : nullptr;                   \
        }                                                                \
    };

DATA_PLAIN_ACCESSOR(Manufacturer)
DATA_PLAIN_ACCESSOR(Form)
DATA_PLAIN_ACCESSOR(Doctors)
DATA_PLAIN_ACCESSOR(PlanName)
DATA_PLAIN_ACCESSOR(Pharmacy)
DATA_PLAIN_ACCESSOR(DrugNames)
DATA_PLAIN_ACCESSOR(Bloodpre)
DATA_PLAIN_ACCESSOR(Glucose)
#undef DATA_PLAIN_ACCESSOR

// People: gender and marital status must be one of the values the form offers.
class PersonsNameAccessor : public DictionaryAccessor {
public:
    PersonsNameAccessor() : DictionaryAccessor(PersonsNameBinding()) {}
    int CheckFieldValue(int fieldNumber, bool report) override;
    void BindNames() override;

protected:
    void setAccessorRef(bool set) override { PersonsNameAccessorRef = set ? this : nullptr; }
};

// Prescriptions: a new one starts active; new records are numbered on "PRE:printby".
class PrescriptsAccessor : public DictionaryAccessor {
public:
    PrescriptsAccessor() : DictionaryAccessor(PrescriptsBinding()) {}
    void PrimeNewRecord() override;
    void BindNames() override;

protected:
    void setAccessorRef(bool set) override { PrescriptsAccessorRef = set ? this : nullptr; }
};

}  // namespace data
