#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "optimizer/engines/fast/indexed_path.h"
#include "optimizer/optimizer_test_support.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;

// Positions must increase along the path, the edge lengths must be those of
// the path, and the longest edge must be the longest edge of the path.
void expectConsistent(const IndexedPath& index) {
    const PathList& list = index.list();
    double longest = list.head() != nullptr ? 0.0 : -1.0;
    int held = 0;
    for (const PathNode* node = list.head(); node != nullptr; node = node->next) {
        ++held;
        if (node->previous != nullptr) {
            ASSERT_EQ(index.edgeBefore(node), list.distance(node->previous, node));
        }
        if (node->next != nullptr) {
            ASSERT_EQ(index.edgeAfter(node), list.distance(node, node->next)) << "at node " << node->point;
            ASSERT_LT(index.position(node), index.position(node->next)) << "at node " << node->point;
            longest = std::max(longest, list.distance(node, node->next));
        } else {
            EXPECT_EQ(index.tail(), node);
        }
        ASSERT_LE(held, list.size());
    }
    EXPECT_EQ(index.longestEdge(), longest);
}

// Orders of the list's nodes in memory: the storage order, the point tree's
// (what the fast engine uses, where the index reads members in place) and a
// shuffled one. None may change anything the index says.
enum class Layout { kStorage, kByPlace, kShuffled };
constexpr Layout kLayouts[] = {Layout::kStorage, Layout::kByPlace, Layout::kShuffled};

std::vector<int> layoutOf(const PathOptimizer& optimizer, Layout layout) {
    std::vector<int> order = test::identity(optimizer.count);
    if (layout == Layout::kStorage) return {};
    if (layout == Layout::kShuffled) {
        std::mt19937 random(7);
        std::shuffle(order.begin(), order.end(), random);
        return order;
    }
    const PointTree tree(optimizer.points);
    for (int k = 0; k < optimizer.count; ++k) order[static_cast<std::size_t>(k)] = tree.memberPoint(k);
    return order;
}

std::vector<test::XY> line(int count) {
    std::vector<test::XY> points;
    for (int i = 0; i < count; ++i) points.push_back({static_cast<double>(i % 17), static_cast<double>(i / 17)});
    return points;
}

TEST(IndexedPath, PositionsSurviveRepeatedInsertionIntoOneGap) {
    // Each insertion halves the room of the same gap, so the labels run out
    // after some 60 insertions and a window is spaced out again, many times.
    const OptimizerHandle optimizer = makeOptimizer(line(600), {0, 0});
    PathList list(*optimizer);
    IndexedPath index(list, *optimizer);
    index.startWith(0);
    index.insertRun(list.nodeOf(1), list.nodeOf(1), Gap{list.nodeOf(0), nullptr});
    for (int point = 2; point < 600; ++point) {
        PathNode* node = list.nodeOf(point);
        // Alternately right after the first node and right before the last.
        const Gap gap = point % 2 == 0 ? Gap{list.head(), list.head()->next}
                                       : Gap{index.tail()->previous, index.tail()};
        index.insertRun(node, node, gap);
        expectConsistent(index);
    }
}

// What the passes rely on when they look only at changed nodes: a node not
// stamped after `since` has the neighbours it had then, and such nodes stand
// in the same order as then.
struct Snapshot {
    std::uint64_t clock;
    std::vector<const PathNode*> previous, next;
    std::vector<int> sequence;  // points in path order
};

Snapshot snapshot(const IndexedPath& index, PathList& list) {
    Snapshot shot{index.clock(), {}, {}, {}};
    for (int point = 0; point < list.size(); ++point) {
        shot.previous.push_back(list.nodeOf(point)->previous);
        shot.next.push_back(list.nodeOf(point)->next);
    }
    for (const PathNode* node = list.head(); node != nullptr; node = node->next) shot.sequence.push_back(node->point);
    return shot;
}

void expectUnchangedNodesAsBefore(const IndexedPath& index, PathList& list, const Snapshot& before) {
    const auto unchanged = [&](int point) { return index.changedAt(list.nodeOf(point)) <= before.clock; };
    for (int point = 0; point < list.size(); ++point) {
        const PathNode* node = list.nodeOf(point);
        const PathNode* previous = before.previous[static_cast<std::size_t>(point)];
        const PathNode* next = before.next[static_cast<std::size_t>(point)];
        if (index.changedAt(node, IndexedPath::Change::kNeighbours) <= before.clock) {
            // The same pair of neighbours, maybe the other way round.
            const bool same = node->previous == previous && node->next == next;
            const bool turned = node->previous == next && node->next == previous;
            ASSERT_TRUE(same || turned) << point;
        }
        if (!unchanged(point)) continue;
        ASSERT_EQ(node->previous, previous) << point;
        ASSERT_EQ(node->next, next) << point;
    }
    std::vector<int> kept;
    std::vector<int> keptNow;
    for (const int point : before.sequence) if (unchanged(point)) kept.push_back(point);
    for (const PathNode* node = list.head(); node != nullptr; node = node->next)
        if (unchanged(node->point)) keptNow.push_back(node->point);
    ASSERT_EQ(kept, keptNow);
}

TEST(IndexedPath, RunMovesReversalsAndDetachingKeepTheIndexCurrent) {
    const int count = 300;
    const OptimizerHandle optimizer = makeOptimizer(test::seededPoints(test::Shape::kUniform, count, 5), {0, 0});
    PathList list(*optimizer, layoutOf(*optimizer, Layout::kShuffled));
    IndexedPath index(list, *optimizer);
    index.linkInOrder(test::identity(count));
    expectConsistent(index);
    std::mt19937 random(11);
    for (int step = 0; step < 2000; ++step) {
        const Snapshot before = snapshot(index, list);
        PathNode* first = list.nodeOf(static_cast<int>(random() % count));
        PathNode* last = first;
        for (int k = static_cast<int>(random() % 4); k > 0 && last->next != nullptr; --k) last = last->next;
        if (step % 3 == 0 && first != last) {
            index.reverseRun(first, last);
        } else if (step % 7 == 1) {
            // Taken out and put back as it was: nothing counts as changed.
            index.restoreRun(first, last, index.detachRun(first, last));
            EXPECT_EQ(index.clock(), before.clock);
        } else {
            const Gap former = index.detachRun(first, last);
            if (list.head() == nullptr) {
                index.insertRun(first, last, former);
                continue;
            }
            // Into a random gap of what is left, sometimes reversed.
            PathNode* right = list.nodeOf(static_cast<int>(random() % count));
            while (right->previous == nullptr && right != list.head()) right = list.head();
            for (PathNode* node = first;; node = node->next) {
                if (node == right) right = list.head();
                if (node == last) break;
            }
            Gap gap{right->previous, right};
            if (random() % 5 == 0) gap = Gap{index.tail(), nullptr};
            if (random() % 2 == 0 && first != last) {
                PathList::reverseRun(first, last);
                std::swap(first, last);
            }
            index.insertRun(first, last, gap);
        }
        expectConsistent(index);
        expectUnchangedNodesAsBefore(index, list, before);
        // A search for changed nodes finds every node changed by this step.
        for (const IndexedPath::Change change : {IndexedPath::Change::kAny, IndexedPath::Change::kNeighbours}) {
            std::vector<int> found;
            index.forNodesChangedWithin(list.nodeOf(0), before.clock, change, [](double) { return 1e9; },
                                        [&](PathNode* node, Spot) { found.push_back(node->point); });
            for (int point = 0; point < count; ++point) {
                const bool changed = index.changedAt(list.nodeOf(point), change) > before.clock;
                ASSERT_EQ(changed, std::count(found.begin(), found.end(), point) == 1) << point;
            }
        }
    }
    std::vector<int> order(count);
    EXPECT_TRUE(list.writeBack(order));
    EXPECT_TRUE(test::isPermutation(order, count));
}

// Reversals of long runs, held against a plain array of the path: the order
// turns, every path position keeps its label (so positions still compare
// without relabelling), the run's inner nodes count as changed only in their
// place, its ends and the nodes beside it as relinked, nothing else changes,
// and the tree's per-node stamps lead a search to exactly those nodes.
TEST(IndexedPath, LongReversalsMatchAnArrayModel) {
    const int count = 257;
    const OptimizerHandle optimizer = makeOptimizer(test::seededPoints(test::Shape::kUniform, count, 9), {0, 0});
    PathList list(*optimizer, layoutOf(*optimizer, Layout::kByPlace));
    IndexedPath index(list, *optimizer);
    std::vector<int> model = test::identity(count);
    std::mt19937 shuffle(3);
    std::shuffle(model.begin(), model.end(), shuffle);
    index.linkInOrder(model);
    struct Case {
        const char* what;
        int from;  // array positions of the run's ends, -1: random
        int to;
    };
    const Case cases[] = {
        {"whole path", 0, count - 1},  {"from the head", 0, 200},     {"to the tail", 3, count - 1},
        {"one node", 17, 17},          {"two nodes", 40, 41},         {"odd length", 10, 110},
        {"even length", 11, 111},      {"head and second", 0, 1},     {"last two", count - 2, count - 1},
        {"random", -1, -1},            {"random", -1, -1},            {"random", -1, -1},
    };
    std::mt19937 random(21);
    for (int round = 0; round < 20; ++round) {
        for (const Case& c : cases) {
            int from = c.from;
            int to = c.to;
            if (from < 0) {
                from = static_cast<int>(random() % count);
                to = from + static_cast<int>(random() % static_cast<unsigned>(count - from));
            }
            const std::uint64_t since = index.clock();
            std::vector<std::uint64_t> labels;
            for (const int point : model) labels.push_back(index.position(list.nodeOf(point)));
            index.reverseRun(list.nodeOf(model[static_cast<std::size_t>(from)]),
                             list.nodeOf(model[static_cast<std::size_t>(to)]));
            std::reverse(model.begin() + from, model.begin() + to + 1);
            expectConsistent(index);
            std::vector<int> held;
            for (const PathNode* node = list.head(); node != nullptr; node = node->next) held.push_back(node->point);
            ASSERT_EQ(held, model) << c.what;
            for (int k = 0; k < count; ++k) {
                const PathNode* node = list.nodeOf(model[static_cast<std::size_t>(k)]);
                ASSERT_EQ(index.position(node), labels[static_cast<std::size_t>(k)]) << c.what << " at " << k;
                const bool end = k == from || k == to || k == from - 1 || k == to + 1;
                const bool inside = k >= from && k <= to;
                ASSERT_EQ(index.changedAt(node) > since, end || inside) << c.what << " at " << k;
                ASSERT_EQ(index.changedAt(node, IndexedPath::Change::kNeighbours) > since, end)
                    << c.what << " at " << k;
            }
            for (const IndexedPath::Change change : {IndexedPath::Change::kAny, IndexedPath::Change::kNeighbours}) {
                int found = 0;
                index.forNodesChangedWithin(list.nodeOf(0), since, change, [](double) { return 1e9; },
                                            [&](PathNode* node, Spot) {
                                                ++found;
                                                EXPECT_GT(index.changedAt(node, change), since) << node->point;
                                            });
                int expected = 0;
                for (int point = 0; point < count; ++point) expected += index.changedAt(list.nodeOf(point), change) > since;
                ASSERT_EQ(found, expected) << c.what;
            }
        }
    }
}

// Reversals between beginTurns and endTurns (the two-level list) against
// the same reversals done node by node on a second index of the same points:
// after every step the same order, edges, tail, clock and stamps (a block
// turn counted for each of its points), a search since an earlier moment
// still reaching every node changed after it; after endTurns the same links,
// and the tree's stamps lead a search to exactly the changed nodes again.
TEST(IndexedPath, TurnsInTwoLevelsMatchTurnsNodeByNode) {
    const int count = 1500;
    const OptimizerHandle optimizer = makeOptimizer(test::seededPoints(test::Shape::kUniform, count, 13), {0, 0});
    // The two lists laid out differently in memory, too.
    PathList plainList(*optimizer, layoutOf(*optimizer, Layout::kShuffled));
    IndexedPath plain(plainList, *optimizer);
    PathList turnedList(*optimizer, layoutOf(*optimizer, Layout::kByPlace));
    IndexedPath turned(turnedList, *optimizer);
    std::vector<int> model = test::identity(count);
    std::mt19937 random(31);
    std::shuffle(model.begin(), model.end(), random);
    plain.linkInOrder(model);
    turned.linkInOrder(model);
    const auto compareStamps = [&](int point, const char* when) {
        for (const IndexedPath::Change change : {IndexedPath::Change::kAny, IndexedPath::Change::kNeighbours}) {
            ASSERT_EQ(turned.changedAt(turnedList.nodeOf(point), change), plain.changedAt(plainList.nodeOf(point), change))
                << when << ", point " << point;
        }
    };
    const auto searchFindsChanged = [&](std::uint64_t since, bool exactly) {
        std::vector<int> found(static_cast<std::size_t>(count), 0);
        turned.forNodesChangedWithin(turnedList.nodeOf(0), since, IndexedPath::Change::kAny, [](double) { return 1e9; },
                                     [&](PathNode* node, Spot) { ++found[static_cast<std::size_t>(node->point)]; });
        for (int point = 0; point < count; ++point) {
            const bool changed = plain.changedAt(plainList.nodeOf(point)) > since;
            const int times = found[static_cast<std::size_t>(point)];
            if (exactly) {
                ASSERT_EQ(times, changed ? 1 : 0) << "point " << point;
            } else {
                ASSERT_TRUE(times == 1 || (times == 0 && !changed)) << "point " << point;
            }
        }
    };
    for (int stretch = 0; stretch < 6; ++stretch) {
        turned.beginTurns();
        const std::uint64_t stretchBegins = turned.clock();
        for (int step = 0; step < 150; ++step) {
            const std::uint64_t before = turned.clock();
            std::size_t from = random() % static_cast<std::size_t>(count);
            std::size_t to = step % 3 == 0 ? std::min<std::size_t>(from + random() % 4, static_cast<std::size_t>(count) - 1)
                                           : random() % static_cast<std::size_t>(count);
            if (step % 25 == 0) from = 0;
            if (step % 25 == 1) to = static_cast<std::size_t>(count) - 1;
            if (from > to) std::swap(from, to);
            plain.reverseRun(plainList.nodeOf(model[from]), plainList.nodeOf(model[to]));
            turned.reverseRun(turnedList.nodeOf(model[from]), turnedList.nodeOf(model[to]));
            std::reverse(model.begin() + static_cast<std::ptrdiff_t>(from), model.begin() + static_cast<std::ptrdiff_t>(to) + 1);
            ASSERT_EQ(turned.clock(), plain.clock());
            ASSERT_EQ(turned.head()->point, model.front());
            ASSERT_EQ(turned.tail()->point, model.back());
            ASSERT_EQ(turned.longestEdge(), plain.longestEdge());
            for (std::size_t k = 0; k < model.size(); ++k) {
                const PathNode* node = turnedList.nodeOf(model[k]);
                const PathNode* twin = plainList.nodeOf(model[k]);
                if (k + 1 < model.size()) {
                    ASSERT_EQ(turned.next(node)->point, model[k + 1]) << "step " << step << " at " << k;
                    ASSERT_LT(turned.position(node), turned.position(turned.next(node))) << "step " << step << " at " << k;
                    ASSERT_EQ(turned.edgeAfter(node), plain.edgeAfter(twin)) << "step " << step << " at " << k;
                } else {
                    ASSERT_EQ(turned.next(node), nullptr);
                }
                if (k > 0) {
                    ASSERT_EQ(turned.previous(node)->point, model[k - 1]) << "step " << step << " at " << k;
                    ASSERT_EQ(turned.edgeBefore(node), plain.edgeBefore(twin)) << "step " << step << " at " << k;
                }
                compareStamps(model[k], "while turning");
            }
            searchFindsChanged(before, false);
            searchFindsChanged(stretchBegins, false);
        }
        const std::uint64_t since = turned.clock() > 40 ? turned.clock() - 40 : 0;
        turned.endTurns();
        std::vector<int> held;
        for (const PathNode* node = turnedList.head(); node != nullptr; node = node->next) held.push_back(node->point);
        ASSERT_EQ(held, model);
        expectConsistent(turned);
        for (int point = 0; point < count; ++point) compareStamps(point, "after the stretch");
        searchFindsChanged(since, true);
        searchFindsChanged(stretchBegins, true);
    }
}

// A search near a node climbs the tree from that node's leaf and stops where
// the reach fits in the box below. It must still find every path node
// within reach, also nodes with long edges far away, nodes on a box's side,
// and from a node off the path; with short and long reaches, and with a
// reach that grows with the node's edge.
TEST(IndexedPath, SearchesNearANodeFindEveryNodeWithinReach) {
    const int count = 2500;
    const test::Shape shapes[] = {test::Shape::kUniform, test::Shape::kGrid, test::Shape::kDuplicates,
                                  test::Shape::kClustered, test::Shape::kCollinear};
    for (std::size_t s = 0; s < std::size(shapes); ++s) {
        const test::Shape shape = shapes[s];
        const OptimizerHandle optimizer = makeOptimizer(test::seededPoints(shape, count, 41), {0, 0});
        PathList list(*optimizer, layoutOf(*optimizer, kLayouts[s % std::size(kLayouts)]));
        IndexedPath index(list, *optimizer);
        std::vector<int> order(static_cast<std::size_t>(count));
        std::iota(order.begin(), order.end(), 0);
        std::mt19937 random(43);
        std::shuffle(order.begin(), order.end(), random);
        // Every tenth point stays off the path.
        std::vector<int> path;
        for (int k = 0; k < count; ++k) {
            if (k % 10 != 0) path.push_back(order[static_cast<std::size_t>(k)]);
        }
        index.startWith(path[0]);
        for (std::size_t k = 1; k < path.size(); ++k) {
            PathNode* node = list.nodeOf(path[k]);
            index.insertRun(node, node, Gap{index.tail(), nullptr});
        }
        const std::uint64_t linked = index.clock();
        const int length = static_cast<int>(path.size());
        for (int turn = 0; turn < 5; ++turn) {
            const int from = static_cast<int>(random() % static_cast<unsigned>(length / 2));
            index.reverseRun(list.nodeOf(path[static_cast<std::size_t>(from)]),
                             list.nodeOf(path[static_cast<std::size_t>(from + length / 3)]));
            std::reverse(path.begin() + from, path.begin() + from + length / 3 + 1);
        }
        std::vector<bool> onPath(static_cast<std::size_t>(count), false);
        for (int point : path) onPath[static_cast<std::size_t>(point)] = true;
        const auto inPath = [&](const PathNode* node) { return onPath[static_cast<std::size_t>(node->point)]; };
        for (int query = 0; query < 300; ++query) {
            const PathNode* around = list.nodeOf(static_cast<int>(random() % count));
            const Spot p = list.spotOf(around);
            const double scale = std::pow(10.0, static_cast<double>(random() % 5) - 2.0);
            const bool byEdge = query % 2 == 1;
            const auto reach = [&](double edge) { return byEdge ? edge * scale : scale; };
            const std::uint64_t since = query % 3 == 0 ? linked : 0;
            std::vector<int> found(static_cast<std::size_t>(count), 0);
            index.forNodesChangedWithin(around, since, IndexedPath::Change::kAny, reach,
                                        [&](PathNode* node, Spot) { ++found[static_cast<std::size_t>(node->point)]; });
            for (int point = 0; point < count; ++point) {
                const PathNode* node = list.nodeOf(point);
                const Spot at = list.spotOf(node);
                const bool wanted = inPath(node) && index.changedAt(node) > since &&
                                    !distanceAbove(p.x - at.x, p.y - at.y, reach(index.longestAt(node)));
                const int times = found[static_cast<std::size_t>(point)];
                ASSERT_TRUE(!wanted || times >= 1) << "point " << point << " query " << query;
                ASSERT_TRUE(times == 0 || inPath(node)) << "point " << point << " query " << query;
            }
        }
    }
}

}  // namespace
}  // namespace tw
