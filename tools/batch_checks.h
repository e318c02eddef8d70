// The checks a batch makes before it builds anything: each row by itself,
// then the rows against each other, so that no row can spoil another's
// picture or target whatever order they are built in.
#pragma once

#include <string>
#include <vector>

#include "batch_list.h"

// What the checks learn of one row's files, as keys that name a file
// however its path is written (see ExistingFileKey).
struct BatchRowFiles {
    std::string pictureKey;  // empty when the picture cannot be opened
    std::string targetKey;   // empty when the target's folder does not exist
};

// Checks one row by itself, its paths already under the list's folder: the
// picture opens and is a supported picture by its header, the target's
// folder exists and the target is not a folder, the company name and web
// site hold no '|', and a web page's win address is one a page can open.
// False with the reason. *files is filled as far as
// the files are known, for a row that fails too, as its picture must still
// not be any other row's target.
bool CheckBatchRow(const std::string& picturePath, const std::string& targetPath,
                   const PackageSettings& settings, BatchRowFiles* files, std::string* reason);

// The checks across rows. reasons[i] is empty for a row that has passed so
// far; such a row is given a reason when another such row writes the same
// target, or when its target is any row's picture or the stub (stubKey, ""
// when unknown).
void CheckBatchTargets(const std::vector<BatchRow>& rows, const std::vector<BatchRowFiles>& files,
                       const std::string& stubKey, std::vector<std::string>* reasons);
