// The standard optimizer's class record, its ten operations and the
// null-safe call wrappers through which the rest of the module reaches them.
#include <cstring>
#include <new>
#include <stdexcept>

#include "optimizer/contours/optimizer_write.h"
#include "optimizer/path_optimizer.h"

namespace tw {
namespace {

// Growth step of the point arrays; the capacity at least doubles, so the
// step only matters for the first growths.
constexpr std::size_t kGrowthStep = 16;

// A name cut to its first kPointNameLength characters; empty for none.
std::string cutName(const char* name) {
    if (name == nullptr) return {};
    const std::size_t length = strnlen(name, kPointNameLength);
    return std::string(name, length);
}

int classInitOperation(OptimizerClass* classRecord) {
    if (classRecord->initialised == 0) classRecord->initialised = 1;
    return 1;
}

PathOptimizer* createOperation(OptimizerClass* classRecord, const char* name) {
    try {
        auto* optimizer = new PathOptimizer();
        optimizer->classRecord = classRecord;
        try {
            if (name != nullptr) optimizer->name = std::string(name);
        } catch (...) {
            delete optimizer;
            return nullptr;
        }
        return optimizer;
    } catch (...) {
        return nullptr;
    }
}

// Empties the point set and gives its memory back.
void releasePoints(PathOptimizer& optimizer) {
    std::vector<OptimizerPoint>().swap(optimizer.points);
    std::vector<int>().swap(optimizer.order);
    optimizer.count = 0;
}

int resetOperation(PathOptimizer* optimizer) {
    releasePoints(*optimizer);
    optimizer->lengthValid = 0;
    return 1;
}

int destroyOperation(PathOptimizer* optimizer) {
    delete optimizer;
    return 1;
}

// Makes room for one more point; false when the limit is reached or memory
// is short.
bool reserveOneMore(PathOptimizer& optimizer) {
    if (optimizer.count >= kMaxPointCount) return false;
    const std::size_t used = optimizer.points.size();
    if (used < optimizer.points.capacity() && used < optimizer.order.capacity()) return true;
    try {
        std::size_t grown = used + (used > kGrowthStep ? used : kGrowthStep);
        if (grown > static_cast<std::size_t>(kMaxPointCount)) {
            grown = static_cast<std::size_t>(kMaxPointCount);
        }
        optimizer.points.reserve(grown);
        optimizer.order.reserve(grown);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

int addPointOperation(PathOptimizer* optimizer, const char* name, double x, double y, double z,
                      double surface, double depth) {
    try {
        if (!reserveOneMore(*optimizer)) {
            releasePoints(*optimizer);
            optimizer->lengthValid = 0;
            return 0;
        }
        // Both vectors have room, so neither push_back can throw.
        optimizer->points.push_back(OptimizerPoint{cutName(name), x, y, z, surface, depth});
        optimizer->order.push_back(optimizer->count);
        ++optimizer->count;
        optimizer->lengthValid = 0;
        return 1;
    } catch (...) {
        releasePoints(*optimizer);
        optimizer->lengthValid = 0;
        return 0;
    }
}

int setStartPointOperation(PathOptimizer* optimizer, const char* name, double x, double y,
                           double z) {
    // A cut name fits the small-string buffer, so this does not allocate.
    optimizer->startPoint = StartPoint{cutName(name), x, y, z};
    optimizer->hasStartPoint = 1;
    optimizer->lengthValid = 0;
    return 1;
}

int clearStartPointOperation(PathOptimizer* optimizer) {
    if (optimizer->hasStartPoint != 0) {
        optimizer->hasStartPoint = 0;
        optimizer->lengthValid = 0;
    }
    return 1;
}

int computeLengthOperation(PathOptimizer* optimizer) {
    computeLength(*optimizer);
    return 1;
}

int optimizeOperation(PathOptimizer* optimizer) {
    optimizePath(*optimizer);
    return 1;
}

int writeOperation(PathOptimizer* optimizer, std::FILE* file, int mode) {
    if (file == nullptr) return 0;
    writeOptimizer(*optimizer, file, mode);
    return 1;
}

// True when `optimizer` can take a call through its class record.
bool callable(const PathOptimizer* optimizer) {
    return optimizer != nullptr && optimizer->classRecord != nullptr;
}

}  // namespace

OptimizerClass StandardPathOptimizer = {
    "StandardPathOptimizer",
    nullptr,
    1,
    classInitOperation,
    createOperation,
    resetOperation,
    destroyOperation,
    addPointOperation,
    setStartPointOperation,
    clearStartPointOperation,
    computeLengthOperation,
    optimizeOperation,
    writeOperation,
};

// The wrappers call through the table so that a record with other
// operations could stand in; a missing slot counts like a missing record.
// No exception may leave them: the callers are C-style cycle slots.

int optimizerClassInit(OptimizerClass* classRecord) {
    if (classRecord == nullptr || classRecord->classInit == nullptr) return 0;
    try {
        return classRecord->classInit(classRecord);
    } catch (...) {
        return 0;
    }
}

PathOptimizer* optimizerCreate(OptimizerClass* classRecord, const char* name) {
    if (classRecord == nullptr || classRecord->create == nullptr) return nullptr;
    try {
        return classRecord->create(classRecord, name);
    } catch (...) {
        return nullptr;
    }
}

int optimizerReset(PathOptimizer* optimizer) {
    if (!callable(optimizer) || optimizer->classRecord->reset == nullptr) return 0;
    try {
        return optimizer->classRecord->reset(optimizer);
    } catch (...) {
        return 0;
    }
}

int optimizerDestroy(PathOptimizer* optimizer) {
    if (!callable(optimizer) || optimizer->classRecord->destroy == nullptr) return 0;
    try {
        return optimizer->classRecord->destroy(optimizer);
    } catch (...) {
        return 0;
    }
}

int optimizerAddPoint(PathOptimizer* optimizer, const char* name, double x, double y, double z,
                      double surface, double depth) {
    if (!callable(optimizer) || optimizer->classRecord->addPoint == nullptr) return 0;
    try {
        return optimizer->classRecord->addPoint(optimizer, name, x, y, z, surface, depth);
    } catch (...) {
        return 0;
    }
}

int optimizerSetStartPoint(PathOptimizer* optimizer, const char* name, double x, double y,
                           double z) {
    if (!callable(optimizer) || optimizer->classRecord->setStartPoint == nullptr) return 0;
    try {
        return optimizer->classRecord->setStartPoint(optimizer, name, x, y, z);
    } catch (...) {
        return 0;
    }
}

int optimizerClearStartPoint(PathOptimizer* optimizer) {
    if (!callable(optimizer) || optimizer->classRecord->clearStartPoint == nullptr) return 0;
    try {
        return optimizer->classRecord->clearStartPoint(optimizer);
    } catch (...) {
        return 0;
    }
}

int optimizerComputeLength(PathOptimizer* optimizer) {
    if (!callable(optimizer) || optimizer->classRecord->computeLength == nullptr) return 0;
    try {
        return optimizer->classRecord->computeLength(optimizer);
    } catch (...) {
        return 0;
    }
}

int optimizerOptimize(PathOptimizer* optimizer) {
    if (!callable(optimizer) || optimizer->classRecord->optimize == nullptr) return 0;
    try {
        return optimizer->classRecord->optimize(optimizer);
    } catch (...) {
        return 0;
    }
}

int optimizerWrite(PathOptimizer* optimizer, std::FILE* file, int mode) {
    if (!callable(optimizer) || optimizer->classRecord->write == nullptr) return 0;
    try {
        return optimizer->classRecord->write(optimizer, file, mode);
    } catch (...) {
        return 0;
    }
}

}  // namespace tw
