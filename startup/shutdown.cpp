// The data module's destroy handler, run at the end of every run and after
// every stop, and the posting handlers all its tables share.
#include "common/DataLock.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "engine/Dbi.h"
#include "engine/Session.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "toolkit/Application.h"

engine::Table* PostingDataSet = nullptr;

namespace {

// The shut-down shows nothing and must get through every step.
template <typename Step>
void Quietly(Step step) {
    try {
        step();
    } catch (...) {
    }
}

// Makes the folder's parent the current folder.
void LeaveFolder(const std::string& folder) {
    const std::string path = folder.substr(0, folder.find_last_not_of('\\') + 1);
    const std::size_t parentEnd = path.find_last_of('\\');
    if (parentEnd != std::string::npos) platform::files().setCurrentFolder(path.substr(0, parentEnd + 1));
}

}  // namespace

void TFRM_Main_DataModules::FRM_DataModulesDestroy() {
    engine::Session& session = VRL.session();
    Quietly([&] {
        if (session.Active()) session.RemoveAllPasswords();
    });
    Quietly([&] { VRL.Close(); });
    Quietly([&] { session.Close(); });
    Quietly([] { ReleaseDataLock(); });
    // Only the folder the start-up made for this program and user: before
    // that, PrivateDir is the shared root with everybody else's folders.
    if (!DeveloperMachine && !OwnPrivateDir.empty() && OwnPrivateDir == PrivateDir) {
        Quietly([&] {
            // The start-up made the folder the process's current folder,
            // and Windows removes no folder that is a current folder.
            LeaveFolder(PrivateDir);
            DeleteFolder(PrivateDir);
        });
    }
    Quietly([] { toolkit::app().ProcessMessages(); });
}

void TFRM_Main_DataModules::BeforePost(engine::Table& DataSet) { PostingDataSet = &DataSet; }

void TFRM_Main_DataModules::AfterPost(engine::Table& DataSet) {
    // The post has succeeded; an engine that cannot save it now is not
    // the poster's concern.
    Quietly([&] { engine::DbiSaveChanges(DataSet.Handle()); });
    PostingDataSet = nullptr;
}
