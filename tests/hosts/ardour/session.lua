-- Drives one Ardour session with Tumblet on a MIDI track: a feeder plays a chord into it and a
-- logger after it records what it sends. Prints one line per event:
--   EVENT <sample> <rolling> <status> <data1> <data2>
-- Arguments: session dir, plug-in type (LXVST or LV2), plug-in name or URI, seconds to run,
-- rolling (1/0), the feeder's keys (0 chord, 1 one note, 2 four chords), "new" or "reopen",
-- then optional "param=value" settings
-- (parameter index = value in the plug-in's units) applied to a new session before it runs.
local sdir, ptype, pname, secs = arg[1], arg[2], arg[3], tonumber (arg[4])
local rolling, keys, mode = arg[5] == "1", tonumber (arg[6]), arg[7]

AudioEngine:set_backend ("None (Dummy)", "", "")
local session
if mode == "reopen" then
	session = load_session (sdir, "t")
else
	session = create_session (sdir, "t", 48000)
end
assert (session, "session could not be opened")

local track, plugin, logger, feeder
if mode == "reopen" then
	track = Session:route_by_name ("A"):to_track ()
	local i = 0
	while true do
		local p = track:nth_plugin (i)
		if p:isnil () then break end
		local name = p:display_name ()
		if name == "Tumblet Test Logger" then logger = p
		elseif name == "Tumblet Test Feeder" then feeder = p
		else plugin = p end
		i = i + 1
	end
else
	local tm = Temporal.TempoMap.fetch_writable ()
	tm:set_tempo (Temporal.Tempo (120, 120, 4), Temporal.timepos_t (0))
	Temporal.TempoMap.update (tm)
	local midi1 = ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1)
	track = Session:new_midi_track (midi1, midi1, false, ARDOUR.PluginInfo (), nil, nil, 1, "A",
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
	local function add (proc, what)
		assert (not proc:isnil (), "cannot create " .. what)
		assert (track:add_processor_by_index (proc, -1, nil, true) == 0, "cannot insert " .. what)
		return proc
	end
	feeder = add (ARDOUR.LuaAPI.new_luaproc (Session, "Tumblet Test Feeder"), "the feeder")
	ARDOUR.LuaAPI.set_processor_param (feeder, 0, keys)
	local kind = ptype == "LV2" and ARDOUR.PluginType.LV2 or ARDOUR.PluginType.LXVST
	plugin = add (ARDOUR.LuaAPI.new_plugin (Session, pname, kind, ""), "the plug-in " .. pname)
	logger = add (ARDOUR.LuaAPI.new_luaproc (Session, "Tumblet Test Logger"), "the logger")
	for k = 8, #arg do
		local index, value = string.match (arg[k], "^(%d+)=(-?[%d.]+)$")
		assert (index, "bad setting " .. arg[k])
		assert (ARDOUR.LuaAPI.set_processor_param (plugin, tonumber (index), tonumber (value)),
			"cannot set parameter " .. index)
	end
end
assert (plugin and not plugin:isnil (), "the plug-in is not on the track")
local pi = plugin:to_insert ()
print (string.format ("IO %d %d", pi:natural_input_streams ():n_midi (),
	pi:natural_output_streams ():n_midi ()))
for k = 0, 21 do
	local value, ok = ARDOUR.LuaAPI.get_processor_param (plugin, k, true)
	print (string.format ("PARAM %d %s", k, tostring (value)))
end

local shm = logger:to_insert ():plugin (0):to_luaproc ():shmem ()
if rolling then Session:request_roll (ARDOUR.TransportRequestSource.TRS_UI) end
sleep (secs)
Session:request_stop (false, false, ARDOUR.TransportRequestSource.TRS_UI)
sleep (0.5)
local n = shm:atomic_get_int (0)
local mem = shm:to_int (0):array ()
for k = 0, n - 1 do
	local b = 1 + k * 5
	print (string.format ("EVENT %d %d %d %d %d", mem[b + 1], mem[b + 2], mem[b + 3], mem[b + 4], mem[b + 5]))
end
Session:save_state ("", false, false, false, false, false)
close_session ()
print ("DONE")
