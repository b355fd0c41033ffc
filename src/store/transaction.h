#pragma once

class Connection;
class Engine;

// The store's own writing transaction, begun as the engine's dialect begins
// one and rolled back on destruction unless committed. Outside the store
// every write goes through runInTransaction (store/unit_of_work.h), which
// runs again what a server's conflict refused.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    explicit Transaction(Engine& engine);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Engine& engine_;
    bool open_ = true;
};

// A transaction that only reads, ended (rolled back) on destruction: every
// statement run while it lives sees the data as the first one saw them,
// whatever another program writes meanwhile.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Connection& connection);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Engine& engine_;
};
