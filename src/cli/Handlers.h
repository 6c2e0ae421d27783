#pragma once
// The handlers of ledctl's commands, by the source that holds them; the
// table in Commands.cpp names each with its options.
#include "cli/Cli.h"

namespace cli {

// TransferCommands.cpp: the port list and the bare frame.
int portsCommand(Context &ctx, Arguments &args);
int linkCommand(Context &ctx, Arguments &args);
int sendCommand(Context &ctx, Arguments &args);

// ScreenCommands.cpp: the screen registry (and --screen, see resolveScreen).
int screensCommand(Context &ctx, Arguments &args);

// ControlCommands.cpp: the parameter panel's control commands.
int brightnessCommand(Context &ctx, Arguments &args);
int powerCommand(Context &ctx, Arguments &args);
int startPictureCommand(Context &ctx, Arguments &args);
int clockCommand(Context &ctx, Arguments &args);
int listCommand(Context &ctx, Arguments &args);
int protocolSwitchCommand(Context &ctx, Arguments &args);

// PropertyCommands.cpp: the property buttons and the connection test.
int propertiesCommand(Context &ctx, Arguments &args);
int setPropertiesCommand(Context &ctx, Arguments &args);
int setAddressCommand(Context &ctx, Arguments &args);
int testCommand(Context &ctx, Arguments &args);

// MessageCommands.cpp: "发送信息" and "发送logo".
int messageCommand(Context &ctx, Arguments &args);
int logoCommand(Context &ctx, Arguments &args);

// PoolCommands.cpp: the text pool and "全部发送".
int poolCommand(Context &ctx, Arguments &args);
int sendAllCommand(Context &ctx, Arguments &args);

// ImageCommands.cpp, WindowNumberCommands.cpp, PowerOnCommands.cpp.
int imageCommand(Context &ctx, Arguments &args);
int windowNumberCommand(Context &ctx, Arguments &args);
int powerOnTextCommand(Context &ctx, Arguments &args);

// BatchCommands.cpp: "更新".
int batchCommand(Context &ctx, Arguments &args);

// PlaylistCommands.cpp: the message list.
int playlistCommand(Context &ctx, Arguments &args);

// TextCommands.cpp: text pictures and the queue-calling lines.
int textCommand(Context &ctx, Arguments &args);
int callCommand(Context &ctx, Arguments &args);
int defaultCommand(Context &ctx, Arguments &args);

// ServiceCommands.cpp: call and default through the call service (--service).
int serviceCallCommand(Context &ctx, Arguments &args);
int serviceDefaultCommand(Context &ctx, Arguments &args);

// UploadCommands.cpp: files in packets, and the radio module.
int uploadCommand(Context &ctx, Arguments &args);
int radioCommand(Context &ctx, Arguments &args);

// ScanCommand.cpp: the bus scan.
int scanCommand(Context &ctx, Arguments &args);

// ServeCommand.cpp: the call service in the foreground.
int serveCommand(Context &ctx, Arguments &args);

} // namespace cli
