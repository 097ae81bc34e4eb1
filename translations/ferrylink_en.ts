<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>Ferrylink</name>
    <message id="ABOUT_CREDITS">
        <source>A desktop client for the download service of your NAS. Free software under the GNU General Public License, version 3 or later. Built with Qt %1.</source>
        <translation>A desktop client for the download service of your NAS. Free software under the GNU General Public License, version 3 or later. Built with Qt %1.</translation>
    </message>
    <message id="ABOUT_PASSWORDS_FILE">
        <source>Saved passwords are kept in {0}, readable by you only.</source>
        <translation>Saved passwords are kept in {0}, readable by you only.</translation>
    </message>
    <message id="ABOUT_PASSWORDS_KEYRING">
        <source>Saved passwords are kept in the desktop keyring.</source>
        <translation>Saved passwords are kept in the desktop keyring.</translation>
    </message>
    <message id="ADD_CHK_AUTHENTICATION">
        <source>Authentication required</source>
        <translation>Authentication required</translation>
    </message>
    <message id="ADD_CHK_AUTO_TRANSLATE">
        <source>Convert links to torrent tasks automatically</source>
        <translation>Convert links to torrent tasks automatically</translation>
    </message>
    <message id="ADD_CHK_SHOW_TASK_DIALOG">
        <source>Choose files and folder before downloading</source>
        <translation>Choose files and folder before downloading</translation>
    </message>
    <message id="ADD_HOST_INFO_DESC">
        <source>Sign in with an account of this NAS.</source>
        <translation>Sign in with an account of this NAS.</translation>
    </message>
    <message id="ADD_HOST_NO_DISCOVERY">
        <source>Finding units on the network is not possible here: the discovery service (Avahi) is not running. Choose “{0}” and type the NAS's address instead.</source>
        <translation>Finding units on the network is not possible here: the discovery service (Avahi) is not running. Choose “{0}” and type the NAS's address instead.</translation>
    </message>
    <message id="ADD_HOST_RDO_BY_CLOUD_ID">
        <source>By cloud ID</source>
        <translation>By cloud ID</translation>
    </message>
    <message id="ADD_HOST_RDO_BY_MANUAL">
        <source>By address</source>
        <translation>By address</translation>
    </message>
    <message id="ADD_HOST_RDO_BY_SCANNED">
        <source>Found on this network</source>
        <translation>Found on this network</translation>
    </message>
    <message id="ADD_HOST_SEARCHING">
        <source>Looking for NAS units on your network…</source>
        <translation>Looking for NAS units on your network…</translation>
    </message>
    <message id="ADD_HOST_TITLE">
        <source>Add NAS</source>
        <translation>Add NAS</translation>
    </message>
    <message id="ADD_HOST_TXT_CLOUD_ID">
        <source>Cloud ID:</source>
        <translation>Cloud ID:</translation>
    </message>
    <message id="ADD_HOST_TXT_CONNECT_TYPE">
        <source>Connection:</source>
        <translation>Connection:</translation>
    </message>
    <message id="ADD_HOST_TXT_IP">
        <source>Address:</source>
        <translation>Address:</translation>
    </message>
    <message id="ADD_HOST_TXT_PORT">
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message id="ADD_HOST_TXT_PWD">
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message id="ADD_HOST_TXT_USER">
        <source>User name:</source>
        <translation>User name:</translation>
    </message>
    <message id="ADD_RDO_BY_LNIK">
        <source>Links</source>
        <translation>Links</translation>
    </message>
    <message id="ADD_RDO_BY_TORRENT">
        <source>Torrent files</source>
        <translation>Torrent files</translation>
    </message>
    <message id="ADD_TXT_ACCOUNT">
        <source>Account:</source>
        <translation>Account:</translation>
    </message>
    <message id="ADD_TXT_BROWSE_FILE">
        <source>Torrent files:</source>
        <translation>Torrent files:</translation>
    </message>
    <message id="ADD_TXT_LINK">
        <source>Links (one per line):</source>
        <translation>Links (one per line):</translation>
    </message>
    <message id="ADD_TXT_PASSWORD">
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message id="ADD_TXT_SAVE_FILE">
        <source>Save to:</source>
        <translation>Save to:</translation>
    </message>
    <message id="ADD_TXT_SEL_TORRENTS">
        <source>{0} torrent file(s) chosen</source>
        <translation>{0} torrent file(s) chosen</translation>
    </message>
    <message id="ADD_TXT_TIPS">
        <source>Press {0} to choose torrent files.</source>
        <translation>Press {0} to choose torrent files.</translation>
    </message>
    <message id="ADD_TXT_VALID_LINK">
        <source>Valid links:</source>
        <translation>Valid links:</translation>
    </message>
    <message id="ALERT_ABOUT_SERVER">
        <source>{0} — {1}</source>
        <translation>{0} — {1}</translation>
    </message>
    <message id="APPLY">
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message id="BROWSE">
        <source>Browse…</source>
        <translation>Browse…</translation>
    </message>
    <message id="BTN_CREATE_FOLDER">
        <source>New Folder</source>
        <translation>New Folder</translation>
    </message>
    <message id="CANCEL">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="CLOSE">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="COL_AGE">
        <source>Age</source>
        <translation>Age</translation>
    </message>
    <message id="COL_CATEGORY">
        <source>Category</source>
        <translation>Category</translation>
    </message>
    <message id="COL_DOWNLOADED">
        <source>Downloaded</source>
        <translation>Downloaded</translation>
    </message>
    <message id="COL_END_TIME">
        <source>Finished</source>
        <translation>Finished</translation>
    </message>
    <message id="COL_EPISODE">
        <source>Episode</source>
        <translation>Episode</translation>
    </message>
    <message id="COL_ETA">
        <source>Time Left</source>
        <translation>Time Left</translation>
    </message>
    <message id="COL_HASH">
        <source>Hash</source>
        <translation>Hash</translation>
    </message>
    <message id="COL_IP">
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message id="COL_LAST_CHECK">
        <source>Last Check</source>
        <translation>Last Check</translation>
    </message>
    <message id="COL_LAST_UPDATE">
        <source>Last Update</source>
        <translation>Last Update</translation>
    </message>
    <message id="COL_LINK">
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message id="COL_MODEL">
        <source>Model</source>
        <translation>Model</translation>
    </message>
    <message id="COL_NAME">
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message id="COL_OWNER">
        <source>Owner</source>
        <translation>Owner</translation>
    </message>
    <message id="COL_PEER">
        <source>Peers</source>
        <translation>Peers</translation>
    </message>
    <message id="COL_PERCENT">
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message id="COL_POSITION">
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message id="COL_QUEUE_POSITION">
        <source>Queue</source>
        <translation>Queue</translation>
    </message>
    <message id="COL_SEARCH_SITE">
        <source>Search Site</source>
        <translation>Search Site</translation>
    </message>
    <message id="COL_SEASON">
        <source>Season</source>
        <translation>Season</translation>
    </message>
    <message id="COL_SEED">
        <source>Seeds</source>
        <translation>Seeds</translation>
    </message>
    <message id="COL_SIZE">
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message id="COL_STATUS">
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message id="COL_TORRENT">
        <source>Torrent</source>
        <translation>Torrent</translation>
    </message>
    <message id="COL_TYPE">
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message id="COL_UPDATE_TIME">
        <source>Updated</source>
        <translation>Updated</translation>
    </message>
    <message id="COL_URL">
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message id="COL_VERSION">
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message id="COMFIRM_REMOVE">
        <source>Remove “{0}”?</source>
        <translation>Remove “{0}”?</translation>
    </message>
    <message id="COMFIRM_REMOVE_ITEM">
        <source>Remove the selected items?</source>
        <translation>Remove the selected items?</translation>
    </message>
    <message id="COMPLETE">
        <source>Complete</source>
        <translation>Complete</translation>
    </message>
    <message id="CONFIRM">
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message id="COPY">
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message id="CREATE">
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message id="DELETE">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="DEL_TORRENT_DESC">
        <source>Remove the NAS “{0}” from Ferrylink? Its tasks stay on the NAS.</source>
        <translation>Remove the NAS “{0}” from Ferrylink? Its tasks stay on the NAS.</translation>
    </message>
    <message id="DEL_TORRENT_TASK_FILE">
        <source>Remove the tasks and their downloaded files</source>
        <translation>Remove the tasks and their downloaded files</translation>
    </message>
    <message id="DEL_TORRENT_TASK_ONLY">
        <source>Remove the tasks only</source>
        <translation>Remove the tasks only</translation>
    </message>
    <message id="DETAILS_NOT_ANSWERED">
        <source>The NAS did not give this task's details. They are asked for again at the next refresh.</source>
        <translation>The NAS did not give this task's details. They are asked for again at the next refresh.</translation>
    </message>
    <message id="DETAILS_PLAIN_TASK">
        <source>A plain download (HTTP or FTP): its name, size, progress and speeds are in the list; the NAS keeps no more details for it.</source>
        <translation>A plain download (HTTP or FTP): its name, size, progress and speeds are in the list; the NAS keeps no more details for it.</translation>
    </message>
    <message id="DETAILS_SELECT_TASK">
        <source>Select a task to see its details.</source>
        <translation>Select a task to see its details.</translation>
    </message>
    <message id="DF_NAS_BIND_NAS">
        <source>Download server:</source>
        <translation>Download server:</translation>
    </message>
    <message id="DF_NAS_DESC">
        <source>Choose the NAS that receives torrent files and links opened with Ferrylink (double-clicked files, links from the browser).</source>
        <translation>Choose the NAS that receives torrent files and links opened with Ferrylink (double-clicked files, links from the browser).</translation>
    </message>
    <message id="DISCARD">
        <source>Discard</source>
        <translation>Discard</translation>
    </message>
    <message id="DOWNLOAD">
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message id="DOWNLOAD_TITLE">
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message id="EMPTY_ADD_SERVER">
        <source>Add Server…</source>
        <translation>Add Server…</translation>
    </message>
    <message id="EMPTY_NO_SERVER_DESC">
        <source>Add the NAS whose downloads you want to follow. Ferrylink looks for units on your network, or you type an address.</source>
        <translation>Add the NAS whose downloads you want to follow. Ferrylink looks for units on your network, or you type an address.</translation>
    </message>
    <message id="EMPTY_NO_SERVER_TITLE">
        <source>No NAS yet</source>
        <translation>No NAS yet</translation>
    </message>
    <message id="ERROR">
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message id="ERROR_AUTH_USER_PWD_EMPTY">
        <source>Enter the user name and password.</source>
        <translation>Enter the user name and password.</translation>
    </message>
    <message id="ERROR_CGI_ADD_DOWNLOAD">
        <source>The download could not be added.</source>
        <translation>The download could not be added.</translation>
    </message>
    <message id="ERROR_CGI_ADD_RSS_FEED">
        <source>The RSS feed could not be added.</source>
        <translation>The RSS feed could not be added.</translation>
    </message>
    <message id="ERROR_CGI_ADD_RSS_FILTER">
        <source>The RSS filter could not be added.</source>
        <translation>The RSS filter could not be added.</translation>
    </message>
    <message id="ERROR_CGI_ADD_SEARCH_SITE">
        <source>The search site plug-in could not be added to the NAS.</source>
        <translation>The search site plug-in could not be added to the NAS.</translation>
    </message>
    <message id="ERROR_CGI_ADD_TORRENT">
        <source>The torrent could not be added.</source>
        <translation>The torrent could not be added.</translation>
    </message>
    <message id="ERROR_CGI_ADD_TORRENT_URL">
        <source>The torrent link could not be added.</source>
        <translation>The torrent link could not be added.</translation>
    </message>
    <message id="ERROR_CGI_CHANGE_TORRENT_ORDER">
        <source>The task order could not be changed.</source>
        <translation>The task order could not be changed.</translation>
    </message>
    <message id="ERROR_CGI_CREATE_FOLDER">
        <source>The folder could not be created.</source>
        <translation>The folder could not be created.</translation>
    </message>
    <message id="ERROR_CGI_DELETE_RSS_FEED">
        <source>The RSS feed could not be deleted.</source>
        <translation>The RSS feed could not be deleted.</translation>
    </message>
    <message id="ERROR_CGI_DELETE_RSS_FILTER">
        <source>The RSS filter could not be deleted.</source>
        <translation>The RSS filter could not be deleted.</translation>
    </message>
    <message id="ERROR_CGI_DELETE_SEARCH_KEY">
        <source>The search could not be deleted.</source>
        <translation>The search could not be deleted.</translation>
    </message>
    <message id="ERROR_CGI_DELETE_SEARCH_SITE">
        <source>The search site could not be deleted.</source>
        <translation>The search site could not be deleted.</translation>
    </message>
    <message id="ERROR_CGI_GET_FOLDER_LIST">
        <source>The folder list could not be read.</source>
        <translation>The folder list could not be read.</translation>
    </message>
    <message id="ERROR_CGI_GET_RSS_FILTER_LIST">
        <source>The RSS filters could not be read.</source>
        <translation>The RSS filters could not be read.</translation>
    </message>
    <message id="ERROR_CGI_GET_SEARCH_SITE_ACCOUNT">
        <source>The search site's account could not be read.</source>
        <translation>The search site's account could not be read.</translation>
    </message>
    <message id="ERROR_CGI_GET_SEARCH_SITE_LIST">
        <source>The search sites could not be read.</source>
        <translation>The search sites could not be read.</translation>
    </message>
    <message id="ERROR_CGI_GET_TORRENT_PREFERENCE">
        <source>The download preferences could not be read.</source>
        <translation>The download preferences could not be read.</translation>
    </message>
    <message id="ERROR_CGI_GET_TORRENT_SCHEDULE">
        <source>The download schedule could not be read.</source>
        <translation>The download schedule could not be read.</translation>
    </message>
    <message id="ERROR_CGI_REMOVE_DOWNLOAD">
        <source>The download could not be removed.</source>
        <translation>The download could not be removed.</translation>
    </message>
    <message id="ERROR_CGI_REMOVE_TORRENT">
        <source>The torrent could not be removed.</source>
        <translation>The torrent could not be removed.</translation>
    </message>
    <message id="ERROR_CGI_SEND_SEARCH_REQUEST">
        <source>The search could not be started.</source>
        <translation>The search could not be started.</translation>
    </message>
    <message id="ERROR_CGI_SET_SEARCH_SITE_ACCOUNT">
        <source>The search site's account could not be saved.</source>
        <translation>The search site's account could not be saved.</translation>
    </message>
    <message id="ERROR_CGI_SET_TORRENT">
        <source>The task could not be changed.</source>
        <translation>The task could not be changed.</translation>
    </message>
    <message id="ERROR_CGI_SET_TORRENT_PREFERENCE">
        <source>The settings could not be saved.</source>
        <translation>The settings could not be saved.</translation>
    </message>
    <message id="ERROR_CGI_START_DOWNLOAD">
        <source>The download could not be started.</source>
        <translation>The download could not be started.</translation>
    </message>
    <message id="ERROR_CGI_START_TORRENT">
        <source>The torrent could not be started.</source>
        <translation>The torrent could not be started.</translation>
    </message>
    <message id="ERROR_CGI_STOP_DOWNLOAD">
        <source>The download could not be paused.</source>
        <translation>The download could not be paused.</translation>
    </message>
    <message id="ERROR_CGI_STOP_TORRENT">
        <source>The torrent could not be paused.</source>
        <translation>The torrent could not be paused.</translation>
    </message>
    <message id="ERROR_CGI_TEST_SEARCH_SITE_ACCOUNT">
        <source>The search site did not accept this account.</source>
        <translation>The search site did not accept this account.</translation>
    </message>
    <message id="ERROR_CGI_TORRENT_ALREADY_ADD">
        <source>This torrent is already on the NAS.</source>
        <translation>This torrent is already on the NAS.</translation>
    </message>
    <message id="ERROR_CGI_TORRENT_INVALID">
        <source>This is not a valid torrent.</source>
        <translation>This is not a valid torrent.</translation>
    </message>
    <message id="ERROR_CGI_UPDATE_RSS_FEED">
        <source>The RSS feed could not be updated.</source>
        <translation>The RSS feed could not be updated.</translation>
    </message>
    <message id="ERROR_CGI_UPLOAD_TORRENT">
        <source>The torrent files could not be uploaded.</source>
        <translation>The torrent files could not be uploaded.</translation>
    </message>
    <message id="ERROR_DEST_DIR_EMPTY">
        <source>Choose a destination folder.</source>
        <translation>Choose a destination folder.</translation>
    </message>
    <message id="ERROR_MAX_NAS">
        <source>Ferrylink keeps at most three NAS servers. Remove one before adding another.</source>
        <translation>Ferrylink keeps at most three NAS servers. Remove one before adding another.</translation>
    </message>
    <message id="ERROR_NAS_CODE">
        <source>The NAS answered with error code {0}.</source>
        <translation>The NAS answered with error code {0}.</translation>
    </message>
    <message id="ERROR_NO_DEFAULT_DOWNLOAD_SERVER">
        <source>There is no default download server. Add a NAS first.</source>
        <translation>There is no default download server. Add a NAS first.</translation>
    </message>
    <message id="ERROR_NO_VALID_LINK">
        <source>There is no valid link.</source>
        <translation>There is no valid link.</translation>
    </message>
    <message id="ERROR_SEARCH_KEY_EMPTY">
        <source>Enter a search text.</source>
        <translation>Enter a search text.</translation>
    </message>
    <message id="ERROR_TORRENT_FILE_EMPTY">
        <source>Choose at least one torrent file.</source>
        <translation>Choose at least one torrent file.</translation>
    </message>
    <message id="ERROR_TORRENT_FILE_UNREADABLE">
        <source>The torrent file {0} cannot be read ({1}). Nothing was sent.</source>
        <translation>The torrent file {0} cannot be read ({1}). Nothing was sent.</translation>
    </message>
    <message id="ERROR_UPLOAD_FILES">
        <source>{0} could not be uploaded to the NAS ({1}).</source>
        <translation>{0} could not be uploaded to the NAS ({1}).</translation>
    </message>
    <message id="ERR_CGI_SESSION_TIMEOUT">
        <source>Your session on the NAS has expired.</source>
        <translation>Your session on the NAS has expired.</translation>
    </message>
    <message id="ERR_LINK_REFUSED">
        <source>Ferrylink opens only web pages (http and https) and magnet links. This link was not opened: {0}</source>
        <translation>Ferrylink opens only web pages (http and https) and magnet links. This link was not opened: {0}</translation>
    </message>
    <message id="ERR_LOGIN_ACCOUNT_DISABLE">
        <source>This account is disabled.</source>
        <translation>This account is disabled.</translation>
    </message>
    <message id="ERR_LOGIN_ACCOUNT_EXPIRED">
        <source>This account has expired.</source>
        <translation>This account has expired.</translation>
    </message>
    <message id="ERR_LOGIN_APP_DISABLED">
        <source>{0} is disabled on this NAS.</source>
        <translation>{0} is disabled on this NAS.</translation>
    </message>
    <message id="ERR_LOGIN_APP_PRIVILEGE_INVALID">
        <source>This account may not use {0}.</source>
        <translation>This account may not use {0}.</translation>
    </message>
    <message id="ERR_LOGIN_APP_UNINSTALLED">
        <source>{0} is not installed on this NAS.</source>
        <translation>{0} is not installed on this NAS.</translation>
    </message>
    <message id="ERR_LOGIN_APP_VERSION_INVALID">
        <source>{0} {1} on this NAS is too old: {3} needs version {2} or later.</source>
        <translation>{0} {1} on this NAS is too old: {3} needs version {2} or later.</translation>
    </message>
    <message id="ERR_LOGIN_AUTHENTICATION_FAIL">
        <source>The user name or password is wrong.</source>
        <translation>The user name or password is wrong.</translation>
    </message>
    <message id="ERR_LOGIN_CONNECT_SERVER_FAIL">
        <source>Could not connect to the NAS.</source>
        <translation>Could not connect to the NAS.</translation>
    </message>
    <message id="ERR_LOGIN_SERVER_KEY_CHANGED">
        <source>The identity of {0} has changed since you first signed in. This happens when the NAS was reset or its certificate was replaced — or when someone is intercepting the connection. Nothing was sent.

Key you trusted: {1}
Key it shows now: {2}

Trust the new key only if you know why it changed.</source>
        <translation>The identity of {0} has changed since you first signed in. This happens when the NAS was reset or its certificate was replaced — or when someone is intercepting the connection. Nothing was sent.

Key you trusted: {1}
Key it shows now: {2}

Trust the new key only if you know why it changed.</translation>
    </message>
    <message id="ERR_NETWORK_DISCONNECT">
        <source>The network is not available.</source>
        <translation>The network is not available.</translation>
    </message>
    <message id="ERR_NO_BROWSER">
        <source>No web browser could be started to open the link.</source>
        <translation>No web browser could be started to open the link.</translation>
    </message>
    <message id="FILTER_CHK_CHECK_INTERVAL">
        <source>Check every</source>
        <translation>Check every</translation>
    </message>
    <message id="FILTER_CHK_TV">
        <source>TV series</source>
        <translation>TV series</translation>
    </message>
    <message id="FILTER_CLEAR">
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message id="FILTER_INTERVAL_12_HOURS">
        <source>12 hours</source>
        <translation>12 hours</translation>
    </message>
    <message id="FILTER_INTERVAL_1_DAY">
        <source>1 day</source>
        <translation>1 day</translation>
    </message>
    <message id="FILTER_INTERVAL_1_MONTH">
        <source>1 month</source>
        <translation>1 month</translation>
    </message>
    <message id="FILTER_INTERVAL_1_WEEK">
        <source>1 week</source>
        <translation>1 week</translation>
    </message>
    <message id="FILTER_INTERVAL_2_WEEKS">
        <source>2 weeks</source>
        <translation>2 weeks</translation>
    </message>
    <message id="FILTER_INTERVAL_3_DAYS">
        <source>3 days</source>
        <translation>3 days</translation>
    </message>
    <message id="FILTER_INTERVAL_3_HOURS">
        <source>3 hours</source>
        <translation>3 hours</translation>
    </message>
    <message id="FILTER_INTERVAL_3_WEEKS">
        <source>3 weeks</source>
        <translation>3 weeks</translation>
    </message>
    <message id="FILTER_INTERVAL_6_HOURS">
        <source>6 hours</source>
        <translation>6 hours</translation>
    </message>
    <message id="FILTER_NONE_SELECTED">
        <source>Select a filter in the list to edit it, or make a new one with “{0}”.</source>
        <translation>Select a filter in the list to edit it, or make a new one with “{0}”.</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_1_DAY">
        <source>Last day</source>
        <translation>Last day</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_1_MONTH">
        <source>Last month</source>
        <translation>Last month</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_1_WEEK">
        <source>Last week</source>
        <translation>Last week</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_NO_LIMIT">
        <source>Any time</source>
        <translation>Any time</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_N_DAYS">
        <source>Last {0} days</source>
        <translation>Last {0} days</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_N_HOURS">
        <source>Last {0} hours</source>
        <translation>Last {0} hours</translation>
    </message>
    <message id="FILTER_TIME_PERIOD_N_WEEKS">
        <source>Last {0} weeks</source>
        <translation>Last {0} weeks</translation>
    </message>
    <message id="FILTER_TXT_END">
        <source>to</source>
        <translation>to</translation>
    </message>
    <message id="FILTER_TXT_EXCLUDE">
        <source>Exclude:</source>
        <translation>Exclude:</translation>
    </message>
    <message id="FILTER_TXT_FEED">
        <source>Feed:</source>
        <translation>Feed:</translation>
    </message>
    <message id="FILTER_TXT_INCLUDE">
        <source>Include:</source>
        <translation>Include:</translation>
    </message>
    <message id="FILTER_TXT_NEW_NAME">
        <source>New filter</source>
        <translation>New filter</translation>
    </message>
    <message id="FILTER_TXT_QUALITY">
        <source>Quality:</source>
        <translation>Quality:</translation>
    </message>
    <message id="FILTER_TXT_SAVE_TO">
        <source>Save to:</source>
        <translation>Save to:</translation>
    </message>
    <message id="FILTER_TXT_START">
        <source>from</source>
        <translation>from</translation>
    </message>
    <message id="FILTER_TXT_TIME_PERIOD">
        <source>Published:</source>
        <translation>Published:</translation>
    </message>
    <message id="FILTER_UNSAVED_DESC">
        <source>The filter “{0}” has changes that are not saved. Save them before going on?</source>
        <translation>The filter “{0}” has changes that are not saved. Save them before going on?</translation>
    </message>
    <message id="FILTER_UNSAVED_TITLE">
        <source>Unsaved changes</source>
        <translation>Unsaved changes</translation>
    </message>
    <message id="HANDOVER_NOT_ANSWERED">
        <source>Ferrylink is already running but did not take the torrent files or links in time. Try again in a moment.</source>
        <translation>Ferrylink is already running but did not take the torrent files or links in time. Try again in a moment.</translation>
    </message>
    <message id="HANDOVER_TOO_LARGE">
        <source>Too many items ({0}) to hand to the running Ferrylink at once. Open fewer at a time.</source>
        <translation>Too many items ({0}) to hand to the running Ferrylink at once. Open fewer at a time.</translation>
    </message>
    <message id="HR_HDTV">
        <source>HR HDTV</source>
        <translation>HR HDTV</translation>
    </message>
    <message id="HR_PDTV">
        <source>HR PDTV</source>
        <translation>HR PDTV</translation>
    </message>
    <message id="INPUT_ALLOWED_CHARACTERS">
        <source>Only these characters can be typed: {0}</source>
        <translation>Only these characters can be typed: {0}</translation>
    </message>
    <message id="INPUT_ALLOWED_LENGTH">
        <source>At most {0} characters</source>
        <translation>At most {0} characters</translation>
    </message>
    <message id="INPUT_ALLOWED_MAXIMUM">
        <source>Allowed: up to {0}</source>
        <translation>Allowed: up to {0}</translation>
    </message>
    <message id="INPUT_ALLOWED_RANGE">
        <source>Allowed: {0} to {1}</source>
        <translation>Allowed: {0} to {1}</translation>
    </message>
    <message id="ITEM_CATE_ACTIVE">
        <source>Active</source>
        <translation>Active</translation>
    </message>
    <message id="ITEM_CATE_ALL">
        <source>All</source>
        <translation>All</translation>
    </message>
    <message id="ITEM_CATE_COMPLETED">
        <source>Completed</source>
        <translation>Completed</translation>
    </message>
    <message id="ITEM_CATE_DOWNLOADING">
        <source>Downloading</source>
        <translation>Downloading</translation>
    </message>
    <message id="ITEM_CATE_INACTIVE">
        <source>Inactive</source>
        <translation>Inactive</translation>
    </message>
    <message id="LOADING">
        <source>Loading…</source>
        <translation>Loading…</translation>
    </message>
    <message id="LOGIN_PWD">
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message id="LOGIN_USER">
        <source>User name:</source>
        <translation>User name:</translation>
    </message>
    <message id="MITEM_ABOUT_FLK">
        <source>About Ferrylink</source>
        <translation>About Ferrylink</translation>
    </message>
    <message id="MITEM_ACTION">
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message id="MITEM_ADD_NAS">
        <source>Add NAS…</source>
        <translation>Add NAS…</translation>
    </message>
    <message id="MITEM_CONTEXT_DEL">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="MITEM_CONTEXT_EDIT">
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message id="MITEM_COPY">
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message id="MITEM_CUT">
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message id="MITEM_DB_CLICK">
        <source>Double-Click Action…</source>
        <translation>Double-Click Action…</translation>
    </message>
    <message id="MITEM_FERRYLINK">
        <source>Ferrylink</source>
        <translation>Ferrylink</translation>
    </message>
    <message id="MITEM_HIDE_FLK">
        <source>Minimize Ferrylink</source>
        <translation>Minimize Ferrylink</translation>
    </message>
    <message id="MITEM_HIDE_OTHERS">
        <source>Hide Others</source>
        <translation>Hide Others</translation>
    </message>
    <message id="MITEM_LIVE_UPDATE">
        <source>Check for Updates…</source>
        <translation>Check for Updates…</translation>
    </message>
    <message id="MITEM_NEXT_NAS">
        <source>Next Server</source>
        <translation>Next Server</translation>
    </message>
    <message id="MITEM_NOTIFICATIONS">
        <source>Desktop Notifications</source>
        <translation>Desktop Notifications</translation>
    </message>
    <message id="MITEM_OPTION">
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message id="MITEM_PASTE">
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message id="MITEM_PREFERENCES">
        <source>Preferences…</source>
        <translation>Preferences…</translation>
    </message>
    <message id="MITEM_PREVIOUS_NAS">
        <source>Previous Server</source>
        <translation>Previous Server</translation>
    </message>
    <message id="MITEM_QUIT_FLK">
        <source>Quit Ferrylink</source>
        <translation>Quit Ferrylink</translation>
    </message>
    <message id="MITEM_RECONNECT_NAS">
        <source>Reconnect NAS</source>
        <translation>Reconnect NAS</translation>
    </message>
    <message id="MITEM_REMOVE_NAS">
        <source>Remove NAS</source>
        <translation>Remove NAS</translation>
    </message>
    <message id="MITEM_SEL_ALL">
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message id="MITEM_SERVICES">
        <source>Services</source>
        <translation>Services</translation>
    </message>
    <message id="MITEM_SHOW_ALL">
        <source>Show All</source>
        <translation>Show All</translation>
    </message>
    <message id="MITEM_SPEED_STATISTICS">
        <source>Speed Statistics…</source>
        <translation>Speed Statistics…</translation>
    </message>
    <message id="MITEM_TRAY_ICON">
        <source>Icon in the Notification Area</source>
        <translation>Icon in the Notification Area</translation>
    </message>
    <message id="MULTI_DOWNLOAD_BTN_AUTO">
        <source>Automatic</source>
        <translation>Automatic</translation>
    </message>
    <message id="MULTI_DOWNLOAD_BTN_MANUAL">
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message id="MULTI_DOWNLOAD_DESC_AUTO">
        <source>Add every torrent with the default settings.</source>
        <translation>Add every torrent with the default settings.</translation>
    </message>
    <message id="MULTI_DOWNLOAD_DESC_AUTO_RESULT">
        <source>The torrents were sent to the NAS.</source>
        <translation>The torrents were sent to the NAS.</translation>
    </message>
    <message id="MULTI_DOWNLOAD_DESC_MANUAL">
        <source>Choose the files and folder of each torrent.</source>
        <translation>Choose the files and folder of each torrent.</translation>
    </message>
    <message id="MULTI_DOWNLOAD_DESC_PROCESS_FAIL">
        <source>Failed</source>
        <translation>Failed</translation>
    </message>
    <message id="MULTI_DOWNLOAD_DESC_PROCESS_SUCCESS">
        <source>Added</source>
        <translation>Added</translation>
    </message>
    <message id="MULTI_DOWNLOAD_DESC_SEL_TORRENT">
        <source>Choose the torrents to set up.</source>
        <translation>Choose the torrents to set up.</translation>
    </message>
    <message id="MULTI_DOWNLOAD_TITLE">
        <source>Add Several Torrents</source>
        <translation>Add Several Torrents</translation>
    </message>
    <message id="NEXT">
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message id="NO">
        <source>No</source>
        <translation>No</translation>
    </message>
    <message id="NOTIFY_ACTION_SHOW">
        <source>Show</source>
        <translation>Show</translation>
    </message>
    <message id="NOTIFY_AND_MORE">
        <source>and {0} more</source>
        <translation>and {0} more</translation>
    </message>
    <message id="NOTIFY_FINISHED_AWAY">
        <source>{0} downloads finished on {1} while Ferrylink was not watching</source>
        <translation>{0} downloads finished on {1} while Ferrylink was not watching</translation>
    </message>
    <message id="NOTIFY_SERVER_BACK">
        <source>{0} is answering again</source>
        <translation>{0} is answering again</translation>
    </message>
    <message id="NOTIFY_SERVER_BACK_BODY">
        <source>The task list is current again.</source>
        <translation>The task list is current again.</translation>
    </message>
    <message id="NOTIFY_SERVER_STOPPED">
        <source>{0} is not answering</source>
        <translation>{0} is not answering</translation>
    </message>
    <message id="NOTIFY_SERVER_STOPPED_BODY">
        <source>The task list is no longer current. Ferrylink keeps trying.</source>
        <translation>The task list is no longer current. Ferrylink keeps trying.</translation>
    </message>
    <message id="NOTIFY_TASKS_FINISHED">
        <source>{0} downloads finished on {1}</source>
        <translation>{0} downloads finished on {1}</translation>
    </message>
    <message id="NOTIFY_TASK_FINISHED">
        <source>Download finished</source>
        <translation>Download finished</translation>
    </message>
    <message id="NOTIFY_TASK_FINISHED_BODY">
        <source>{0} finished on {1}.</source>
        <translation>{0} finished on {1}.</translation>
    </message>
    <message id="OK">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="Ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="PAGE_FEED_ITEMS">
        <source>Items of “{0}”</source>
        <translation>Items of “{0}”</translation>
    </message>
    <message id="PAGE_SEARCH_RESULTS">
        <source>Results for “{0}”</source>
        <translation>Results for “{0}”</translation>
    </message>
    <message id="PLUGIN_FILE_FILTER">
        <source>Search-site plug-ins (*.dlm)</source>
        <translation>Search-site plug-ins (*.dlm)</translation>
    </message>
    <message id="PREFER_ADD_SEARCH_SITE_DESC">
        <source>Choose a search-site plug-in (.dlm) to install on the NAS.</source>
        <translation>Choose a search-site plug-in (.dlm) to install on the NAS.</translation>
    </message>
    <message id="PREFER_BOX_DHT">
        <source>DHT</source>
        <translation>DHT</translation>
    </message>
    <message id="PREFER_BOX_DIR">
        <source>Folders</source>
        <translation>Folders</translation>
    </message>
    <message id="PREFER_BOX_ENCRYPT">
        <source>Encryption</source>
        <translation>Encryption</translation>
    </message>
    <message id="PREFER_BOX_PORT">
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message id="PREFER_BOX_PUSH_NOTIFY">
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message id="PREFER_BOX_TASK">
        <source>Tasks</source>
        <translation>Tasks</translation>
    </message>
    <message id="PREFER_BOX_TORRENT_CONNECT">
        <source>Torrent connections</source>
        <translation>Torrent connections</translation>
    </message>
    <message id="PREFER_BOX_TORRENT_SPEED">
        <source>Torrent speed</source>
        <translation>Torrent speed</translation>
    </message>
    <message id="PREFER_CHK_AUTO_REMOVE">
        <source>Remove completed tasks automatically</source>
        <translation>Remove completed tasks automatically</translation>
    </message>
    <message id="PREFER_CHK_IGNORE_OTHER_USER">
        <source>Hide other users' tasks</source>
        <translation>Hide other users' tasks</translation>
    </message>
    <message id="PREFER_CHK_MAX_DL_SPEED">
        <source>Maximum download speed (KB/s):</source>
        <translation>Maximum download speed (KB/s):</translation>
    </message>
    <message id="PREFER_CHK_MAX_HTTP_FTP_SPEED">
        <source>Maximum HTTP/FTP speed (KB/s):</source>
        <translation>Maximum HTTP/FTP speed (KB/s):</translation>
    </message>
    <message id="PREFER_CHK_MAX_UL_SPEED">
        <source>Maximum upload speed (KB/s):</source>
        <translation>Maximum upload speed (KB/s):</translation>
    </message>
    <message id="PREFER_CHK_PUSH_NOTIFY">
        <source>Send push notifications</source>
        <translation>Send push notifications</translation>
    </message>
    <message id="PREFER_CHK_SHARE_RATIO">
        <source>Stop seeding at share ratio (%):</source>
        <translation>Stop seeding at share ratio (%):</translation>
    </message>
    <message id="PREFER_CHK_WATCH_DIR">
        <source>Watch a folder for torrent files</source>
        <translation>Watch a folder for torrent files</translation>
    </message>
    <message id="PREFER_DISCARD_CHANGES">
        <source>Discard your changes to the download preferences?</source>
        <translation>Discard your changes to the download preferences?</translation>
    </message>
    <message id="PREFER_HTTP_FTP_SPEED">
        <source>HTTP/FTP speed</source>
        <translation>HTTP/FTP speed</translation>
    </message>
    <message id="PREFER_NOT_LOADED">
        <source>Some settings could not be read from the NAS. They are not shown and will not be saved until they are read.</source>
        <translation>Some settings could not be read from the NAS. They are not shown and will not be saved until they are read.</translation>
    </message>
    <message id="PREFER_SAVED">
        <source>✓ Saved</source>
        <translation>✓ Saved</translation>
    </message>
    <message id="PREFER_TAB_BANDWIDTH">
        <source>Bandwidth</source>
        <translation>Bandwidth</translation>
    </message>
    <message id="PREFER_TAB_CONNECT">
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message id="PREFER_TAB_GENERAL">
        <source>General</source>
        <translation>General</translation>
    </message>
    <message id="PREFER_TAB_SCHEDULE">
        <source>Schedule</source>
        <translation>Schedule</translation>
    </message>
    <message id="PREFER_TAB_SEARCH_SITE">
        <source>Search Sites</source>
        <translation>Search Sites</translation>
    </message>
    <message id="PREFER_TEST">
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message id="PREFER_TEST_NEEDS_PASSWORD">
        <source>Type the account's password to test it: the saved password cannot be read back from the NAS.</source>
        <translation>Type the account's password to test it: the saved password cannot be read back from the NAS.</translation>
    </message>
    <message id="PREFER_TXT_DHT">
        <source>Enable DHT</source>
        <translation>Enable DHT</translation>
    </message>
    <message id="PREFER_TXT_DIR">
        <source>Download folder:</source>
        <translation>Download folder:</translation>
    </message>
    <message id="PREFER_TXT_ENCRYPT">
        <source>Enable encryption</source>
        <translation>Enable encryption</translation>
    </message>
    <message id="PREFER_TXT_MAX_ACTIVE">
        <source>Maximum active tasks:</source>
        <translation>Maximum active tasks:</translation>
    </message>
    <message id="PREFER_TXT_MAX_CONNECT">
        <source>Maximum connections:</source>
        <translation>Maximum connections:</translation>
    </message>
    <message id="PREFER_TXT_MAX_PEER">
        <source>Maximum peers per torrent:</source>
        <translation>Maximum peers per torrent:</translation>
    </message>
    <message id="PREFER_TXT_PORT">
        <source>Listening port:</source>
        <translation>Listening port:</translation>
    </message>
    <message id="PREFER_TXT_PUSH_NOTIFY_DESC">
        <source>Tell mobile devices when a download finishes.</source>
        <translation>Tell mobile devices when a download finishes.</translation>
    </message>
    <message id="PREFER_TXT_TEMP_DIR">
        <source>Temporary folder:</source>
        <translation>Temporary folder:</translation>
    </message>
    <message id="PREFER_TXT_WATCH_DIR">
        <source>Watch folder:</source>
        <translation>Watch folder:</translation>
    </message>
    <message id="PREFER_TXT_WATCH_DIR_DESC">
        <source>Torrent files placed in this folder are added automatically.</source>
        <translation>Torrent files placed in this folder are added automatically.</translation>
    </message>
    <message id="PREVIOUS">
        <source>Previous</source>
        <translation>Previous</translation>
    </message>
    <message id="QUIT">
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message id="REFRESH">
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message id="REMOVE">
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message id="RETRY">
        <source>Retry</source>
        <translation>Retry</translation>
    </message>
    <message id="RSS_AGE_DAY">
        <source>day</source>
        <translation>day</translation>
    </message>
    <message id="RSS_AGE_DAYS">
        <source>days</source>
        <translation>days</translation>
    </message>
    <message id="RSS_AGE_HOUR">
        <source>hour</source>
        <translation>hour</translation>
    </message>
    <message id="RSS_AGE_HOURS">
        <source>hours</source>
        <translation>hours</translation>
    </message>
    <message id="RSS_AGE_MIN">
        <source>minute</source>
        <translation>minute</translation>
    </message>
    <message id="RSS_AGE_MINS">
        <source>minutes</source>
        <translation>minutes</translation>
    </message>
    <message id="RSS_AGE_MON">
        <source>month</source>
        <translation>month</translation>
    </message>
    <message id="RSS_AGE_MONS">
        <source>months</source>
        <translation>months</translation>
    </message>
    <message id="RSS_AGE_SEC">
        <source>second</source>
        <translation>second</translation>
    </message>
    <message id="RSS_AGE_SECS">
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message id="RSS_AGE_YEAR">
        <source>year</source>
        <translation>year</translation>
    </message>
    <message id="RSS_AGE_YEARS">
        <source>years</source>
        <translation>years</translation>
    </message>
    <message id="RSS_ALL">
        <source>All Feeds</source>
        <translation>All Feeds</translation>
    </message>
    <message id="RSS_TITLE">
        <source>RSS</source>
        <translation>RSS</translation>
    </message>
    <message id="RSS_UPDATE_INTERVAL">
        <source>Update every:</source>
        <translation>Update every:</translation>
    </message>
    <message id="RSS_URL">
        <source>Feed address:</source>
        <translation>Feed address:</translation>
    </message>
    <message id="SAVE">
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message id="SCHEDULE_ALL">
        <source>All</source>
        <translation>All</translation>
    </message>
    <message id="SCHEDULE_CELL_NAME">
        <source>{0} {1}–{2}, {3}</source>
        <translation>{0} {1}–{2}, {3}</translation>
    </message>
    <message id="SCHEDULE_CHK_LIMIT_DL_SPEED">
        <source>Limit download speed to (KB/s):</source>
        <translation>Limit download speed to (KB/s):</translation>
    </message>
    <message id="SCHEDULE_CHK_LIMIT_UL_SPEED">
        <source>Limit upload speed to (KB/s):</source>
        <translation>Limit upload speed to (KB/s):</translation>
    </message>
    <message id="SCHEDULE_GRID_NAME">
        <source>Weekly schedule</source>
        <translation>Weekly schedule</translation>
    </message>
    <message id="SCHEDULE_RDO_AUTO">
        <source>Follow the weekly schedule</source>
        <translation>Follow the weekly schedule</translation>
    </message>
    <message id="SCHEDULE_RDO_MANUAL">
        <source>Always download at full speed</source>
        <translation>Always download at full speed</translation>
    </message>
    <message id="SCHEDULE_TYPE_DEFAULT_SPEED">
        <source>Full speed</source>
        <translation>Full speed</translation>
    </message>
    <message id="SCHEDULE_TYPE_LIMIT_SPEED">
        <source>Limited speed</source>
        <translation>Limited speed</translation>
    </message>
    <message id="SCHEDULE_TYPE_SEED_ONLY">
        <source>Seed only</source>
        <translation>Seed only</translation>
    </message>
    <message id="SCHEDULE_TYPE_STOP">
        <source>Stopped</source>
        <translation>Stopped</translation>
    </message>
    <message id="SEARCH_CATE_ALL">
        <source>All</source>
        <translation>All</translation>
    </message>
    <message id="SEARCH_TITLE">
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message id="SERVER_KEY_CHANGED_TITLE">
        <source>Server identity changed</source>
        <translation>Server identity changed</translation>
    </message>
    <message id="START">
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message id="TAB_ITEM_CONTENT">
        <source>Content</source>
        <translation>Content</translation>
    </message>
    <message id="TAB_ITEM_INFO">
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message id="TAB_ITEM_TRACKER">
        <source>Trackers</source>
        <translation>Trackers</translation>
    </message>
    <message id="TAB_SERVER_ACCOUNT">
        <source>{0} ({1})</source>
        <translation>{0} ({1})</translation>
    </message>
    <message id="TASK_BOX_CONTENT">
        <source>Content</source>
        <translation>Content</translation>
    </message>
    <message id="TASK_BOX_GENERAL">
        <source>General</source>
        <translation>General</translation>
    </message>
    <message id="TASK_CHK_ADD_TOP_QUEUE">
        <source>Put at the top of the queue</source>
        <translation>Put at the top of the queue</translation>
    </message>
    <message id="TASK_DEFAULT_DOWNLOAD_DIR">
        <source>Save to:</source>
        <translation>Save to:</translation>
    </message>
    <message id="TASK_FILES_NOT_KNOWN_YET">
        <source>No file list yet: the files of a magnet link are known once the NAS has fetched the torrent's metadata. You can choose them later with Edit.</source>
        <translation>No file list yet: the files of a magnet link are known once the NAS has fetched the torrent's metadata. You can choose them later with Edit.</translation>
    </message>
    <message id="TASK_NAME">
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message id="TASK_SIZE">
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message id="TOOL_TIP_ADD">
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message id="TOOL_TIP_DELETE">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="TOOL_TIP_DOWN">
        <source>Move Down</source>
        <translation>Move Down</translation>
    </message>
    <message id="TOOL_TIP_EDIT">
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message id="TOOL_TIP_FILTER_MAN">
        <source>Filters</source>
        <translation>Filters</translation>
    </message>
    <message id="TOOL_TIP_OPEN">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="TOOL_TIP_PAUSE">
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message id="TOOL_TIP_PREFERENCE">
        <source>Preferences</source>
        <translation>Preferences</translation>
    </message>
    <message id="TOOL_TIP_START">
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message id="TOOL_TIP_UP">
        <source>Move Up</source>
        <translation>Move Up</translation>
    </message>
    <message id="TOOL_TIP_UPDATE">
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message id="TRANS_INFO_DL_DIRECTORY">
        <source>Folder:</source>
        <translation>Folder:</translation>
    </message>
    <message id="TRANS_INFO_DL_SPEED">
        <source>Download speed:</source>
        <translation>Download speed:</translation>
    </message>
    <message id="TRANS_INFO_DOWNLOADED">
        <source>Downloaded:</source>
        <translation>Downloaded:</translation>
    </message>
    <message id="TRANS_INFO_PEERS">
        <source>Peers:</source>
        <translation>Peers:</translation>
    </message>
    <message id="TRANS_INFO_SEED">
        <source>Seeds:</source>
        <translation>Seeds:</translation>
    </message>
    <message id="TRANS_INFO_SHARE_RATIO">
        <source>Share ratio:</source>
        <translation>Share ratio:</translation>
    </message>
    <message id="TRANS_INFO_TIME_ELAPS">
        <source>Time elapsed:</source>
        <translation>Time elapsed:</translation>
    </message>
    <message id="TRANS_INFO_TORRENT_FILE">
        <source>Torrent file</source>
        <translation>Torrent file</translation>
    </message>
    <message id="TRANS_INFO_UL_SPEED">
        <source>Upload speed:</source>
        <translation>Upload speed:</translation>
    </message>
    <message id="TRANS_INFO_UPLOADED">
        <source>Uploaded:</source>
        <translation>Uploaded:</translation>
    </message>
    <message id="TRAY_SHOW">
        <source>Show Ferrylink</source>
        <translation>Show Ferrylink</translation>
    </message>
    <message id="TRUST_NEW_KEY">
        <source>Trust New Key</source>
        <translation>Trust New Key</translation>
    </message>
    <message id="TXT_DEFAULT_FOLDER_DESC">
        <source>Choose the default download folder on the NAS.</source>
        <translation>Choose the default download folder on the NAS.</translation>
    </message>
    <message id="TXT_GRAPH_GAP_AT">
        <source>{0}: no answer from the server</source>
        <translation>{0}: no answer from the server</translation>
    </message>
    <message id="TXT_GRAPH_NAME">
        <source>Speed graph</source>
        <translation>Speed graph</translation>
    </message>
    <message id="TXT_GRAPH_NO_DATA">
        <source>No speeds recorded in this period yet.</source>
        <translation>No speeds recorded in this period yet.</translation>
    </message>
    <message id="TXT_GRAPH_SUMMARY">
        <source>Download: now {0}, average {1}, peak {2}. Upload: now {3}, average {4}, peak {5}.</source>
        <translation>Download: now {0}, average {1}, peak {2}. Upload: now {3}, average {4}, peak {5}.</translation>
    </message>
    <message id="TXT_GRAPH_VALUE_AT">
        <source>{0} — download {1}, upload {2}</source>
        <translation>{0} — download {1}, upload {2}</translation>
    </message>
    <message id="TXT_LEGEND_DOWNLOAD">
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message id="TXT_LEGEND_LIMIT">
        <source>Schedule limit</source>
        <translation>Schedule limit</translation>
    </message>
    <message id="TXT_LEGEND_UPLOAD">
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message id="TXT_LIST_STALE">
        <source>Not updated since {0}</source>
        <translation>Not updated since {0}</translation>
    </message>
    <message id="TXT_LIST_STALE_HINT">
        <source>The NAS has not sent a fresh list for a while; the list shows what it last knew.</source>
        <translation>The NAS has not sent a fresh list for a while; the list shows what it last knew.</translation>
    </message>
    <message id="TXT_LIST_WAITING">
        <source>Waiting for the NAS: no task list has come yet.</source>
        <translation>Waiting for the NAS: no task list has come yet.</translation>
    </message>
    <message id="TXT_LOADING">
        <source>Loading…</source>
        <translation>Loading…</translation>
    </message>
    <message id="TXT_NEW_NAME">
        <source>New name</source>
        <translation>New name</translation>
    </message>
    <message id="TXT_NOT_A_NAS_REPLY">
        <source>the NAS did not answer as expected</source>
        <translation>the NAS did not answer as expected</translation>
    </message>
    <message id="TXT_NOW_SPEED">
        <source>Download {0}  Upload {1}</source>
        <translation>Download {0}  Upload {1}</translation>
    </message>
    <message id="TXT_NO_TASK_IN_CATEGORY">
        <source>No tasks here.</source>
        <translation>No tasks here.</translation>
    </message>
    <message id="TXT_NO_TASK_MATCHES">
        <source>No tasks match “{0}”.</source>
        <translation>No tasks match “{0}”.</translation>
    </message>
    <message id="TXT_PERIOD_10_MIN">
        <source>10 minutes</source>
        <translation>10 minutes</translation>
    </message>
    <message id="TXT_PERIOD_1_HOUR">
        <source>1 hour</source>
        <translation>1 hour</translation>
    </message>
    <message id="TXT_PERIOD_24_HOURS">
        <source>24 hours</source>
        <translation>24 hours</translation>
    </message>
    <message id="TXT_PREVIEW_COUNT">
        <source>{0} of {1} items match</source>
        <translation>{0} of {1} items match</translation>
    </message>
    <message id="TXT_PREVIEW_DISCLAIMER">
        <source>How Ferrylink reads this filter; the NAS decides what it downloads.</source>
        <translation>How Ferrylink reads this filter; the NAS decides what it downloads.</translation>
    </message>
    <message id="TXT_PREVIEW_FAILED">
        <source>The NAS did not send this feed’s items.</source>
        <translation>The NAS did not send this feed’s items.</translation>
    </message>
    <message id="TXT_PREVIEW_LOADING">
        <source>Reading the feed’s items…</source>
        <translation>Reading the feed’s items…</translation>
    </message>
    <message id="TXT_PREVIEW_NONE">
        <source>No item of this feed matches</source>
        <translation>No item of this feed matches</translation>
    </message>
    <message id="TXT_PREVIEW_NO_FEED">
        <source>Choose a feed to see which of its items this filter picks.</source>
        <translation>Choose a feed to see which of its items this filter picks.</translation>
    </message>
    <message id="TXT_PREVIEW_TITLE">
        <source>Items this filter picks</source>
        <translation>Items this filter picks</translation>
    </message>
    <message id="TXT_REQUEST_TIMED_OUT">
        <source>the NAS took too long to answer</source>
        <translation>the NAS took too long to answer</translation>
    </message>
    <message id="TXT_RE_CONNECT_NAS">
        <source>The connection to the NAS was lost. Connect again?</source>
        <translation>The connection to the NAS was lost. Connect again?</translation>
    </message>
    <message id="TXT_SEARCHING">
        <source>Searching…</source>
        <translation>Searching…</translation>
    </message>
    <message id="TXT_SEARCHING_SO_FAR">
        <source>Searching… {0} results so far</source>
        <translation>Searching… {0} results so far</translation>
    </message>
    <message id="TXT_SERVER_KEY_CHANGED">
        <source>the server's key has changed</source>
        <translation>the server's key has changed</translation>
    </message>
    <message id="TXT_SIGNING_IN">
        <source>Signing in…</source>
        <translation>Signing in…</translation>
    </message>
    <message id="TXT_STATISTICS_TITLE">
        <source>Speed Statistics — {0}</source>
        <translation>Speed Statistics — {0}</translation>
    </message>
    <message id="TXT_WAITING">
        <source>Please wait…</source>
        <translation>Please wait…</translation>
    </message>
    <message id="UNINSTALL">
        <source>Uninstall</source>
        <translation>Uninstall</translation>
    </message>
    <message id="UNINSTALL_AUTH_NOTE">
        <source>You will be asked for an administrator's password.</source>
        <translation>You will be asked for an administrator's password.</translation>
    </message>
    <message id="UNINSTALL_AUTH_REFUSED">
        <source>{0} was not removed: administrator authorisation was refused.</source>
        <translation>{0} was not removed: administrator authorisation was refused.</translation>
    </message>
    <message id="UNINSTALL_DESC">
        <source>This removes {0} and its files from this computer.</source>
        <translation>This removes {0} and its files from this computer.</translation>
    </message>
    <message id="UNINSTALL_FAILED_ITEMS">
        <source>These items could not be removed:</source>
        <translation>These items could not be removed:</translation>
    </message>
    <message id="UNINSTALL_HELPER_FAILED">
        <source>{0} was not removed: the removal helper could not be started ({1}).</source>
        <translation>{0} was not removed: the removal helper could not be started ({1}).</translation>
    </message>
    <message id="UNINSTALL_INCOMPLETE">
        <source>{0} was removed, except for the items below.</source>
        <translation>{0} was removed, except for the items below.</translation>
    </message>
    <message id="UNINSTALL_KEYRING_NOT_REMOVED">
        <source>Saved password for {0} in the desktop keyring: not removed (the keyring did not answer or refused)</source>
        <translation>Saved password for {0} in the desktop keyring: not removed (the keyring did not answer or refused)</translation>
    </message>
    <message id="UNINSTALL_NOTHING_REMOVED">
        <source>{0} was not removed: none of its files could be removed. The reasons are below.</source>
        <translation>{0} was not removed: none of its files could be removed. The reasons are below.</translation>
    </message>
    <message id="UNINSTALL_NO_KEYS">
        <source>Sweepdeck does not know what to remove: its key file is missing or incomplete ({0}).</source>
        <translation>Sweepdeck does not know what to remove: its key file is missing or incomplete ({0}).</translation>
    </message>
    <message id="UNINSTALL_NO_MANIFEST">
        <source>The list of {0}'s installed files was not found, so only your own files (cache and settings) can be removed.</source>
        <translation>The list of {0}'s installed files was not found, so only your own files (cache and settings) can be removed.</translation>
    </message>
    <message id="UNINSTALL_PACKAGE_OWNED">
        <source>Files of {0} that belong to the package {1} were left to the package manager. To remove them, run: sudo apt remove {1}</source>
        <translation>Files of {0} that belong to the package {1} were left to the package manager. To remove them, run: sudo apt remove {1}</translation>
    </message>
    <message id="UNINSTALL_PROCESSING">
        <source>Removing {0}…</source>
        <translation>Removing {0}…</translation>
    </message>
    <message id="UNINSTALL_REMOVE_PREFER">
        <source>Also remove my settings and saved servers</source>
        <translation>Also remove my settings and saved servers</translation>
    </message>
    <message id="UNINSTALL_SUCCESS">
        <source>{0} has been removed.</source>
        <translation>{0} has been removed.</translation>
    </message>
    <message id="UNINSTALL_WILL_REMOVE">
        <source>These will be removed:</source>
        <translation>These will be removed:</translation>
    </message>
    <message id="UNINSTALL_WILL_REMOVE_KEYRING">
        <source>The saved servers' passwords in the desktop keyring</source>
        <translation>The saved servers' passwords in the desktop keyring</translation>
    </message>
    <message id="UPLOAD">
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message id="UPLOAD_FILE_TOO_LARGE">
        <source>It is larger than {0} MB, so it is not a torrent file.</source>
        <translation>It is larger than {0} MB, so it is not a torrent file.</translation>
    </message>
    <message id="UPLOAD_NOT_A_FILE">
        <source>It is not a regular file.</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message id="YES">
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
</context>
</TS>
