#include "setup/QuorRegistryWriter.h"

#include "base/LogFile.h"
#include "base/ProductInfo.h"
#include "base/ProductRegistry.h"
#include "base/RegistryKey.h"
#include "setup/QuorWebAddresses.h"

using quor::RegistryKey;
namespace product = quor::product;

void QuorRegistryWriter::writeRegedit() {
    if (m_installDir.empty()) {
        quor::logMessage(L"QuorSetupCore::_writeRegedit, install directory is empty, nothing written.");
        return;
    }
    RegistryKey productKey = RegistryKey::create(HKEY_CURRENT_USER, product::kProductKey);
    if (!productKey.valid())
        quor::logMessage(L"QuorSetupCore::_writeRegedit, RegCreateKey STR_QUOR_REG_LOCATION fail.");
    else
        productKey.setString(product::kInstallDirValue, m_installDir);

    writeRegistForQuorAssistant();
    writeRootPath();
    writeUninstallEntry();
}

void QuorRegistryWriter::writeRegistForQuorAssistant() {
    std::wstring path = m_installDir + product::kVersion + L"\\" + product::kAssistantExe;
    RegistryKey run = RegistryKey::open(HKEY_CURRENT_USER, product::kRunKey, KEY_SET_VALUE);
    if (!run.valid()) {
        quor::logMessage(
            L"QuorAssistant: QuorSetupCore::_writeRegistForQuorAssistant, write error !!! strPath:%s",
            path.c_str());
        return;
    }
    quor::logMessage(L"QuorAssistant: QuorSetupCore::_writeRegistForQuorAssistant, strPath:%s", path.c_str());
    run.setString(product::kAssistantRunValue, path);
}

void QuorRegistryWriter::writeRootPath() {
    RegistryKey productKey = RegistryKey::create(HKEY_CURRENT_USER, product::kProductKey);
    if (!productKey.valid()) {
        quor::logMessage(L"QuorSetupCore::_writeRegedit, RegCreateKey STR_QUOR_REG_LOCATION fail.");
        return;
    }
    productKey.setString(product::kRootPathValue, m_installDir);
}

void QuorRegistryWriter::writeUninstallEntry() {
    std::wstring keyName = std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry;
    RegistryKey entry = RegistryKey::create(HKEY_CURRENT_USER, keyName.c_str());
    if (!entry.valid()) {
        quor::logMessage(L"QuorSetupCore::_writeRegedit, RegCreateKey strUninstallKey fail.");
        return;
    }
    entry.setString(L"UninstallString", m_installDir + product::kUninstallExe);
    entry.setString(L"DisplayName", product::kUninstallEntry);
    entry.setString(L"Publisher", product::kPublisher);
    entry.setString(L"URLInfoAbout", quor::web::officialHomePage());
    entry.setString(L"DisplayVersion", product::kVersion);
}

void QuorRegistryWriter::setAutoRun() {
    if (m_installDir.empty()) {
        quor::logMessage(L"QuorSetupCore::setAutoRun, install directory is empty, nothing written.");
        return;
    }
    RegistryKey run = RegistryKey::open(HKEY_CURRENT_USER, product::kRunKey, KEY_SET_VALUE);
    if (!run.valid())
        return;
    quor::logMessage(L"QuorSetupCore::setAutoRun, write REGEDIT (auto run Quor).");
    run.setString(product::kProductRunValue, m_installDir + product::kProductExe);
}
