#include "runtime/FifoGate.h"

#include <QCoro/QCoroTask>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

using namespace corvane;

namespace {

// Holders keep their permits here until the test releases them by id.
struct Holders {
    std::map<int, GatePermit> permits;
    std::vector<int> entered;
    int most = 0;

    // Out of the map first: releasing resumes the next waiter, which stores its own permit.
    void release(int id) {
        GatePermit permit = std::move(permits.at(id));
        permits.erase(id);
        permit.release();
    }
};

QCoro::Task<> enter(FifoGate& gate, Holders& holders, int id) {
    GatePermit permit = co_await gate.acquire();
    holders.entered.push_back(id);
    holders.most = std::max(holders.most, gate.inUse());
    holders.permits[id] = std::move(permit);
}

} // namespace

TEST(FifoGate, AdmitsAtMostNHoldersAndServesWaitersInArrivalOrder) {
    // Given a gate of two slots and five arrivals
    FifoGate gate(2);
    Holders holders;
    for (int id = 1; id <= 5; ++id)
        enter(gate, holders, id);

    // Then two are in and three wait
    EXPECT_EQ(holders.entered, (std::vector<int>{1, 2}));
    EXPECT_EQ(gate.inUse(), 2);
    EXPECT_EQ(gate.waiting(), 3);

    // When holders leave one at a time, in any order
    holders.release(2);
    holders.release(1);
    holders.release(3);

    // Then waiters were let in in the order they arrived, never more than two at once
    EXPECT_EQ(holders.entered, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(holders.most, 2);
    EXPECT_EQ(gate.inUse(), 2);
    EXPECT_EQ(gate.waiting(), 0);

    // And once everyone has left, the gate is empty
    holders.permits.clear();
    EXPECT_EQ(gate.inUse(), 0);
}

TEST(FifoGate, NewArrivalCannotPassQueuedWaitersWhenASlotFrees) {
    // Given a one-slot gate with a holder and a queued waiter
    FifoGate gate(1);
    Holders holders;
    enter(gate, holders, 1);
    enter(gate, holders, 2);

    // When the holder leaves and a newcomer arrives at once
    holders.release(1);
    enter(gate, holders, 3);

    // Then the slot went to the waiter, and the newcomer queues behind it
    EXPECT_EQ(holders.entered, (std::vector<int>{1, 2}));
    EXPECT_EQ(gate.waiting(), 1);
    holders.release(2);
    EXPECT_EQ(holders.entered, (std::vector<int>{1, 2, 3}));
}

TEST(FifoGate, PermitsReleaseOnceWhetherMovedReassignedOrOutlivingTheGate) {
    // Given a three-slot gate with three holders
    auto gate = std::make_unique<FifoGate>(3);
    Holders holders;
    for (int id = 1; id <= 3; ++id)
        enter(*gate, holders, id);

    // When one permit is moved out and released twice, and another overwritten by the third
    GatePermit moved = std::move(holders.permits[1]);
    holders.permits.erase(1);
    moved.release();
    moved.release();
    holders.permits[2] = std::move(holders.permits[3]);

    // Then each gave its slot back exactly once
    EXPECT_EQ(gate->inUse(), 1);

    // And a permit outliving its gate releases harmlessly
    gate.reset();
    holders.permits.clear();
}
