// The network operations of the command line (--renormalize, --cascade, --deembed,
// --terminate, --reorder), kept in the order given and applied in that order to every
// loaded file before it is plotted or saved.
#pragma once

#include "rf/NetworkOps.h"

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CS2pData;

class CNetworkOptions {
public:
    // Whom the messages address: the command line names its options ("--deembed: ..."),
    // the window what its fields do ("De-embedding: ...").
    enum class Wording { OPTIONS, WINDOW };

    // The option names, without their dashes.
    static bool IsOperation(const std::string& name);
    // Takes one operation and its value; false (reported on err) for a bad value.
    bool Take(const std::string& name, const std::string& value, std::ostream& err,
              Wording wording = Wording::OPTIONS);
    bool Empty() const { return steps.empty(); }
    // Adds the steps of other after these.
    void Append(const CNetworkOptions& other);

    // Applies every step to data in order; false with why (the data as they were), and
    // unreadable set when a file a step names could not be read (its messages shown).
    bool Apply(CS2pData& data, std::string& why, bool& unreadable,
               Wording wording = Wording::OPTIONS) const;
    // What was done, for a saved file's comments and the window's names:
    // "renormalised to 75 ohm", "cascaded with line.s2p",
    // "de-embedded fix.s2p (left), fix2.s2p (right)", ...
    std::vector<std::string> Descriptions() const;

private:
    struct Step {
        std::string name;            // the option
        std::vector<double> values;  // renormalise: references
        std::vector<std::string> files;
        std::vector<NetworkOps::Load> loads;
        std::vector<int> order;
        std::string description;
    };
    // The data set of a file a step names, read once.
    const CS2pData* File(const std::string& path, std::string& why) const;

    std::vector<Step> steps;
    mutable std::map<std::string, std::shared_ptr<CS2pData>> files;
};
